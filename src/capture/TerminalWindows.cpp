// SPDX-License-Identifier: MIT
#include "capture/TerminalWindows.h"

#include "settings/Preferences.h"
#include "settings/UserDefaults.h"

namespace TerminalWindows {

QStringList builtInClasses()
{
    // clang-format off
    return {
        QStringLiteral("XTerm"), QStringLiteral("UXTerm"), QStringLiteral("URxvt"),
        QStringLiteral("Rxvt"), QStringLiteral("Gnome-terminal"), QStringLiteral("kgx"),
        QStringLiteral("org.gnome.Console"), QStringLiteral("org.gnome.Ptyxis"),
        QStringLiteral("konsole"), QStringLiteral("Xfce4-terminal"), QStringLiteral("Lxterminal"),
        QStringLiteral("Mate-terminal"), QStringLiteral("qterminal"), QStringLiteral("Terminator"),
        QStringLiteral("Tilix"), QStringLiteral("kitty"), QStringLiteral("Alacritty"),
        QStringLiteral("foot"), QStringLiteral("org.wezfurlong.wezterm"),
        QStringLiteral("st-256color"), QStringLiteral("St"), QStringLiteral("Sakura"),
        QStringLiteral("terminology"), QStringLiteral("Tilda"), QStringLiteral("Guake"),
        QStringLiteral("yakuake"), QStringLiteral("cool-retro-term"), QStringLiteral("Eterm"),
        QStringLiteral("Termite"), QStringLiteral("deepin-terminal"),
    };
    // clang-format on
}

QStringList classes(const Preferences& preferences)
{
    return preferences.defaults()
        .stringArray(QString::fromLatin1(defaultsKey))
        .value_or(builtInClasses());
}

bool isTerminal(const Preferences& preferences, const std::optional<TargetApplication>& application)
{
    if (!application || application->wmClass.isEmpty())
        return false;
    return classes(preferences).contains(application->wmClass, Qt::CaseInsensitive);
}

ChordStyle chordStyle(const Preferences& preferences,
                      const std::optional<TargetApplication>& application)
{
    return isTerminal(preferences, application) ? ChordStyle::terminal : ChordStyle::standard;
}

} // namespace TerminalWindows
