// SPDX-License-Identifier: MIT
#include "cli/PreferencesCommand.h"

#include "settings/Preferences.h"

namespace {

template <class E> QString joinedRawValues(const QList<E>& cases)
{
    QStringList raw;
    for (E value : cases)
        raw.append(rawValue(value));
    return raw.join(QStringLiteral(", "));
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

int preferencesCommand(const QStringList& arguments, CliIO& io, KeyCharacters& layout, Clock& clock,
                       const Preferences& preferences)
{
    if (!arguments.isEmpty()) {
        io.err << "quillmark preferences: takes no arguments\n";
        return ExitCode::usage;
    }

    const Preferences::Usage usage = preferences.monthlyUsage(clock);
    const AIServiceChoice service = preferences.aiService();
    const QList<std::pair<const char*, QString>> lines = {
        {"hotkeyShortcut", preferences.hotkeyShortcut().label(layout)},
        {"doubleTapModifier", rawValue(preferences.doubleTapModifier())},
        {"targetLanguageID", preferences.targetLanguageID()},
        {"targetLanguage", preferences.targetLanguage().name},
        {"model", preferences.model()},
        {"activeActions", joinedRawValues(preferences.activeActions())},
        {"popoverLayout", rawValue(preferences.popoverLayout())},
        {"inputHeight", rawValue(preferences.inputHeight())},
        {"inputTextSize", rawValue(preferences.inputTextSize())},
        {"panelWidth", rawValue(preferences.panelWidth())},
        {"useOwnAPIKey", boolText(preferences.useOwnAPIKey())},
        {"aiService", service.service ? rawValue(*service.service) : QStringLiteral("none")},
        {"aiServiceAddress", service.service ? service.address : QStringLiteral("(none)")},
        {"monthlyUsage",
         QStringLiteral("%1 in · %2 out")
             .arg(QString::number(usage.promptTokens), QString::number(usage.completionTokens))},
    };
    for (const auto& [name, value] : lines)
        io.out << name << ": " << value << '\n';
    io.out.flush();
    return ExitCode::success;
}
