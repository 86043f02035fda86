// SPDX-License-Identifier: MIT
#include "cli/RunCommand.h"

#include "ai/AIGateway.h"
#include "core/RunRules.h"
#include "settings/Preferences.h"

#include <optional>

namespace {

struct Invocation {
    TextAction action;
    std::optional<Language> language;
    std::optional<QString> text;
};

QString languageIDs()
{
    QStringList ids;
    for (const Language& language : Language::all())
        ids.append(language.id);
    return ids.join(QStringLiteral(", "));
}

QString toneNames()
{
    QStringList names;
    for (Style style : allCases(CasesOf<Style>{}))
        names.append(rawValue(style));
    return names.join(QStringLiteral(", "));
}

// The invocation, or the one-line complaint about the command line.
std::variant<Invocation, QString> parse(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return QStringLiteral("missing ACTION. Usage: quillmark run ACTION [--language ID] [TEXT]");
    const auto action = TextAction::fromTestFlag(arguments.first());
    if (!action) {
        return QStringLiteral("unknown action '%1' (expected translate, fixGrammar, improvePrompt, "
                              "rewrite-TONE with TONE one of %2, or custom:INSTRUCTION)")
            .arg(arguments.first(), toneNames());
    }

    Invocation invocation{*action, std::nullopt, std::nullopt};
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == QLatin1String("--language")) {
            if (i + 1 >= arguments.size()) {
                return QStringLiteral("--language needs a language ID (one of %1)")
                    .arg(languageIDs());
            }
            const QString id = arguments.at(++i);
            invocation.language = Language::withID(id);
            if (!invocation.language) {
                return QStringLiteral("unknown language '%1' (expected one of %2)")
                    .arg(id, languageIDs());
            }
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(u'-')) {
            return QStringLiteral("unknown option '%1'").arg(argument);
        } else if (invocation.text) {
            return QStringLiteral("unexpected argument '%1': give the text as one argument (quote "
                                  "it) or on standard input")
                .arg(argument);
        } else {
            invocation.text = argument;
        }
    }

    if (action->kind() == TextAction::Kind::custom && action->instruction().trimmed().isEmpty())
        return QStringLiteral("the custom instruction is empty (use custom:INSTRUCTION)");
    return invocation;
}

int usageError(CliIO& io, const QString& complaint)
{
    io.err << "quillmark run: " << complaint << '\n';
    return ExitCode::usage;
}

} // namespace

QCoro::Task<int> runCommand(QStringList arguments, CliIO& io, Clock& clock, SecretStore& secrets,
                            Preferences& preferences)
{
    auto parsed = parse(arguments);
    if (const auto* complaint = std::get_if<QString>(&parsed))
        co_return usageError(io, *complaint);
    Invocation invocation = std::get<Invocation>(std::move(parsed));

    const QString text = invocation.text ? *invocation.text : QString::fromUtf8(io.readInput());
    if (!RunRules::hasContent(text))
        co_return usageError(io, QStringLiteral("no text: give TEXT or pipe it on standard input"));

    const int64_t characters = RunRules::characterCount(text);
    if (characters > RunRules::maxCharacters) {
        io.err << RunRules::tooLargeMessage(characters) << '\n';
        co_return ExitCode::failure;
    }

    const Language language = invocation.language.value_or(preferences.targetLanguage());
    const TextAction action = invocation.action;
    RunRules::logStart(action, characters);
    const auto started = clock.monotonicNow();
    AIGateway gateway(clock, secrets, preferences);
    const AIGateway::Result result = co_await gateway.perform(action, text, language);

    if (const auto* error = std::get_if<ProxyError>(&result)) {
        RunRules::logFailure(action, error->logDetail);
        io.err << error->message << '\n';
        co_return ExitCode::failure;
    }
    const Completion& completion = std::get<AIGateway::Outcome>(result).completion;
    const auto elapsed = clock.monotonicNow() - started;
    RunRules::logSuccess(action, elapsed.count(), completion);
    preferences.addUsage(clock, completion.promptTokens, completion.completionTokens);
    io.out << RunRules::preservingEdgeWhitespace(text, completion.text);
    io.out.flush();
    co_return ExitCode::success;
}
