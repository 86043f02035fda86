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

QString permissionTitle();
QString permissionExplanation();
QString permissionButton();
QString noSelectionHint();

} // namespace PopoverTexts
