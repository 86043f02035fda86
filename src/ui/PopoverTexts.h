// SPDX-License-Identifier: MIT
#pragma once

#include "core/ErrorRecovery.h"
#include "core/Language.h"
#include "core/TextAction.h"
#include "settings/PopoverEnums.h"

#include <QString>
#include <optional>

// Every word the panel shows, with the icon that goes with it. Icons are named after the
// symbols they draw ("globe", "doc.on.doc"); the drawings are in ui/icons.
namespace PopoverTexts {

struct Control {
    QString icon;
    QString title;
    QString tooltip;
};

// "Alt+" and the 1-based number of a visible action or result control.
QString shortcut(int number);

QString actionIcon(PopoverAction action);
// The list rows name the target language: "Translate to German".
QString rowTitle(PopoverAction action, const Language& language);
QString actionTooltip(PopoverAction action, int number, const Language& language);

QString languageTooltip(const Language& language);
// "Translating to German…", "Fixing grammar (formal tone)…", …
QString progressLabel(const TextAction& action, const Language& language);

enum class ResultControl { replace, copy, back };
enum class Layout { chips, list };
Control resultControl(ResultControl control, Layout layout);
QString usageTooltip();

// The button offered beside an error; nothing for ErrorRecovery::none.
std::optional<Control> recoveryButton(ErrorRecovery recovery);
Control errorCopy();
Control errorBack();
// What Copy turns into once it has copied, in the result and the error state alike.
Control copied();

// The keys of a state whose controls do not show theirs: "Alt+1 to Alt+3 press these
// buttons · Esc closes", for `buttons` buttons; Esc goes back instead where it does.
QString keyHint(int buttons, bool escapeCloses);

// A state with one way out: what is missing, why, and the button that leads to the fix.
struct Notice {
    QString icon;
    QString title;
    QString explanation;
    QString button;
};
Notice permissionNotice();
Notice serviceNotice();
QString noSelectionHint();

} // namespace PopoverTexts
