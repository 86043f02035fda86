// SPDX-License-Identifier: MIT
#include "ai/AIGateway.h"

#include "ai/KeychainHelper.h"
#include "ai/OpenAIClient.h"
#include "ai/Prompts.h"
#include "ai/ProxyClient.h"
#include "core/BuildConfig.h"
#include "settings/Preferences.h"

namespace {

using Outcome = AIGateway::Outcome;
using Result = AIGateway::Result;

QString noKeyMessage()
{
    return QStringLiteral("No OpenAI API key yet \u2014 add one in Settings.");
}

// OpenAI itself needs a key; another compatible server may well run without one.
bool isKeyRequired(const AIServiceChoice& choice)
{
    return choice.service == AIService::openAI ||
           choice.address == QString::fromUtf8(BuildConfig::openAIBaseURL);
}

Result fromOpenAI(OpenAIClient::Result result, const QString& address)
{
    if (auto* completion = std::get_if<Completion>(&result)) {
        completion->text = Prompts::unwrap(completion->text);
        return Outcome{std::move(*completion), std::nullopt};
    }
    if (const auto* error = std::get_if<OpenAIError>(&result)) {
        return ProxyError::ownKey(error->message, error->message,
                                  error->isAuthError ? ErrorRecovery::openSettings
                                                     : ErrorRecovery::retry);
    }
    if (std::holds_alternative<HttpExchange::ReplyTooLarge>(result))
        return ProxyError::malformed(HttpExchange::tooLargeDescription());
    const auto& failure = std::get<HttpExchange::TransportError>(result);
    return ProxyError::network(failure.description, failure.failure, address);
}

// The service knows installations by their device identifier; a token set in the
// defaults (for a deployment that hands out tokens) takes its place.
QString hostedCredential(Preferences& preferences)
{
    const auto token = preferences.string(DefaultsKey::proxyToken);
    if (token && !token->isEmpty())
        return *token;
    return preferences.deviceID();
}

} // namespace

QCoro::Task<AIGateway::Result> AIGateway::performWithOwnKey(TextAction action, QString text,
                                                            Language language,
                                                            AIServiceChoice choice)
{
    // Without a key no Authorization header is sent.
    const auto key = m_keychain.openAIKey();
    if (!key && isKeyRequired(choice)) {
        co_return ProxyError::local(
            noKeyMessage(), QStringLiteral("useOwnAPIKey is set but the Keychain has no key"),
            ErrorRecovery::openSettings);
    }
    co_return fromOpenAI(co_await OpenAIClient::complete(
                             m_clock, Prompts::system(action, language), Prompts::userMessage(text),
                             m_preferences.model(), key.value_or(QString()), choice.address),
                         choice.address);
}

QCoro::Task<AIGateway::Result> AIGateway::performHosted(TextAction action, QString text,
                                                        Language language)
{
    QString credential = hostedCredential(m_preferences);
    auto result = co_await ProxyClient::complete(m_clock, std::move(action), std::move(text),
                                                 std::move(language), std::move(credential),
                                                 ProxyClient::currentInstallation(m_preferences));
    if (auto* error = std::get_if<ProxyError>(&result))
        co_return std::move(*error);
    auto& reply = std::get<ProxyWire::AIResult>(result);
    co_return Outcome{std::move(reply.completion), std::move(reply.quota)};
}

QString AIGateway::notConfiguredMessage()
{
    return QStringLiteral("Connect an AI service to use Quillmark");
}

std::optional<QString> AIGateway::missingSetup(const Preferences& preferences, SecretStore& secrets)
{
    const AIServiceChoice choice = preferences.aiService();
    if (!choice.service)
        return notConfiguredMessage();
    if (*choice.service != AIService::relay && isKeyRequired(choice) &&
        !KeychainHelper(secrets).openAIKey())
        return noKeyMessage();
    return std::nullopt;
}

bool AIGateway::isConfigured(const Preferences& preferences)
{
    return preferences.aiService().service.has_value();
}

bool AIGateway::isUsingOwnKey(const Preferences& preferences)
{
    const auto service = preferences.aiService().service;
    return service && *service != AIService::relay;
}

QCoro::Task<AIGateway::Result> AIGateway::perform(TextAction action, QString text,
                                                  Language language)
{
    const AIServiceChoice choice = m_preferences.aiService();
    if (!choice.service) {
        co_return ProxyError::local(notConfiguredMessage(),
                                    QStringLiteral("no AI service is configured"),
                                    ErrorRecovery::openSettings);
    }
    if (*choice.service != AIService::relay)
        co_return co_await performWithOwnKey(std::move(action), std::move(text),
                                             std::move(language), choice);
    co_return co_await performHosted(std::move(action), std::move(text), std::move(language));
}

QCoro::Task<std::variant<QStringList, ProxyError>> AIGateway::listModels(QString baseURL)
{
    auto result =
        co_await OpenAIClient::models(m_clock, m_keychain.openAIKey().value_or(QString()), baseURL);
    if (auto* names = std::get_if<QStringList>(&result))
        co_return std::move(*names);
    if (const auto* error = std::get_if<OpenAIError>(&result)) {
        co_return ProxyError::ownKey(error->message, error->message,
                                     error->isAuthError ? ErrorRecovery::openSettings
                                                        : ErrorRecovery::retry);
    }
    const auto& failure = std::get<HttpExchange::TransportError>(result);
    co_return ProxyError::network(failure.description, failure.failure, baseURL);
}
