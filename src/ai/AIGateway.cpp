// SPDX-License-Identifier: MIT
#include "ai/AIGateway.h"

#include "ai/KeychainHelper.h"
#include "ai/OpenAIClient.h"
#include "ai/Prompts.h"
#include "ai/ProxyClient.h"
#include "settings/Preferences.h"

namespace AIGateway {

namespace {

std::optional<QString> storedKey()
{
    auto key = KeychainHelper::read(KeychainHelper::service, KeychainHelper::openAIAccount);
    if (!key || key->isEmpty())
        return std::nullopt;
    return key;
}

Result fromOpenAI(OpenAIClient::Result result)
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
    return ProxyError::network(std::get<HttpExchange::TransportError>(result).description);
}

QCoro::Task<Result> performWithOwnKey(TextAction action, QString text, Language language)
{
    // Read again: the key may have been removed since the back-end was chosen.
    const auto key = storedKey();
    if (!key) {
        co_return ProxyError::local(
            QStringLiteral("No OpenAI API key yet \u2014 add one in Settings."),
            QStringLiteral("useOwnAPIKey is set but the Keychain has no key"),
            ErrorRecovery::openSettings);
    }
    co_return fromOpenAI(co_await OpenAIClient::complete(
        Prompts::system(action, language), Prompts::userMessage(text), Preferences::model(), *key));
}

// The service knows installations by their device identifier; a token set in the
// defaults (for a deployment that hands out tokens) takes its place.
QString hostedCredential()
{
    const auto token = Preferences::string(DefaultsKey::proxyToken);
    if (token && !token->isEmpty())
        return *token;
    return Preferences::deviceID();
}

QCoro::Task<Result> performHosted(TextAction action, QString text, Language language)
{
    auto result = co_await ProxyClient::complete(std::move(action), std::move(text),
                                                 std::move(language), hostedCredential());
    if (auto* error = std::get_if<ProxyError>(&result))
        co_return std::move(*error);
    auto& reply = std::get<ProxyWire::AIResult>(result);
    co_return Outcome{std::move(reply.completion), std::move(reply.quota)};
}

} // namespace

bool isUsingOwnKey()
{
    return Preferences::useOwnAPIKey() && storedKey().has_value();
}

QCoro::Task<Result> perform(TextAction action, QString text, Language language)
{
    if (isUsingOwnKey())
        co_return co_await performWithOwnKey(std::move(action), std::move(text),
                                             std::move(language));
    co_return co_await performHosted(std::move(action), std::move(text), std::move(language));
}

} // namespace AIGateway
