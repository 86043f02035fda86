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

int preferencesCommand(const QStringList& arguments, CliIO& io, KeyCharacters& layout, Clock& clock)
{
    if (!arguments.isEmpty()) {
        io.err << "quillmark preferences: takes no arguments\n";
        return ExitCode::usage;
    }

    const Preferences::Usage usage = Preferences::monthlyUsage(clock);
    const AIServiceChoice service = Preferences::aiService();
    const QList<std::pair<const char*, QString>> lines = {
        {"hotkeyShortcut", Preferences::hotkeyShortcut().label(layout)},
        {"doubleTapModifier", rawValue(Preferences::doubleTapModifier())},
        {"targetLanguageID", Preferences::targetLanguageID()},
        {"targetLanguage", Preferences::targetLanguage().name},
        {"model", Preferences::model()},
        {"activeActions", joinedRawValues(Preferences::activeActions())},
        {"popoverLayout", rawValue(Preferences::popoverLayout())},
        {"inputHeight", rawValue(Preferences::inputHeight())},
        {"inputTextSize", rawValue(Preferences::inputTextSize())},
        {"panelWidth", rawValue(Preferences::panelWidth())},
        {"useOwnAPIKey", boolText(Preferences::useOwnAPIKey())},
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
