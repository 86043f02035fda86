// SPDX-License-Identifier: MIT
#pragma once

#include "ai/KeychainHelper.h"
#include "ai/ProxyError.h"
#include "core/Clock.h"
#include "core/Completion.h"
#include "core/Language.h"
#include "core/TextAction.h"

#include <QDateTime>
#include <optional>
#include <qcoro/qcorotask.h>
#include <variant>

class Preferences;

struct AIServiceChoice;

// The hosted service's token allowance as its last reply reported it.
struct Quota {
    int64_t remainingTokens = 0;
    std::optional<QDateTime> resetsAt;
    bool operator==(const Quota&) const = default;
};

// The one entry point for running a text action: it takes the back-end the user chose
// (Preferences::aiService(); nothing is sent when none is configured) and turns every failure of
// either into a ProxyError. Main thread only; holds only the borrowed clock (for the
// requests' time-outs), the key store and the preferences, which must outlive it and its
// running calls.
class AIGateway {
public:
    struct Outcome {
        Completion completion;
        std::optional<Quota> quota;
    };

    using Result = std::variant<Outcome, ProxyError>;

    AIGateway(Clock& clock, SecretStore& secrets, Preferences& preferences)
        : m_clock(clock)
        , m_keychain(secrets)
        , m_preferences(preferences)
    {}

    // "Connect an AI service to use Quillmark": the sentence for an installation where no
    // service is configured, so that nothing is sent anywhere.
    static QString notConfiguredMessage();

    // What keeps actions from being sent, in the words perform() would answer: no service
    // chosen, or OpenAI chosen without a key in `secrets`. Nothing when the choice is
    // complete. Reads the keyring only for a service that needs a key.
    static std::optional<QString> missingSetup(const Preferences& preferences,
                                               SecretStore& secrets);

    // True when a service is chosen; otherwise perform() sends nothing and answers
    // notConfiguredMessage().
    static bool isConfigured(const Preferences& preferences);

    // True when the chosen service is OpenAI or another compatible server, not the relay.
    static bool isUsingOwnKey(const Preferences& preferences);

    QCoro::Task<Result> perform(TextAction action, QString text, Language language);

    // The models the OpenAI-compatible server at `baseURL` lists, asked with the stored key
    // when there is one; a failure as perform() would describe it.
    QCoro::Task<std::variant<QStringList, ProxyError>> listModels(QString baseURL);

private:
    QCoro::Task<Result> performWithOwnKey(TextAction action, QString text, Language language,
                                          AIServiceChoice choice);
    QCoro::Task<Result> performHosted(TextAction action, QString text, Language language);

    Clock& m_clock;
    KeychainHelper m_keychain;
    Preferences& m_preferences;
};
