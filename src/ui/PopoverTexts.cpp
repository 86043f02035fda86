// SPDX-License-Identifier: MIT
#include "ui/PopoverTexts.h"

#include "ai/AIGateway.h"

namespace PopoverTexts {

QString shortcut(int number)
{
    return QStringLiteral("Alt+") + QString::number(number);
}

QString actionIcon(PopoverAction action)
{
    switch (action) {
    case PopoverAction::translate:
        return QStringLiteral("globe");
    case PopoverAction::fixGrammar:
        return QStringLiteral("checkmark");
    case PopoverAction::improvePrompt:
        return QStringLiteral("sparkles");
    }
    return {};
}

QString rowTitle(PopoverAction action, const Language& language)
{
    if (action == PopoverAction::translate)
        return QStringLiteral("Translate to ") + language.name;
    return ::title(action);
}

QString actionTooltip(PopoverAction action, int number, const Language& language)
{
    const QString n = QString::number(number);
    switch (action) {
    case PopoverAction::translate:
        return QStringLiteral("Translate to ") + language.name + QStringLiteral(" (Alt+") + n +
               QStringLiteral(") — the globe changes the language");
    case PopoverAction::fixGrammar:
        return QStringLiteral("Fix grammar (Alt+") + n +
               QStringLiteral("); the ⌄ fixes it in a tone");
    case PopoverAction::improvePrompt:
        return QStringLiteral("Rewrite this draft into a better prompt for an AI (Alt+") + n +
               QStringLiteral(")");
    }
    return {};
}

QString languageTooltip(const Language& language)
{
    return QStringLiteral("Translation language: ") + language.name;
}

QString progressLabel(const TextAction& action, const Language& language)
{
    switch (action.kind()) {
    case TextAction::Kind::translate:
        return QStringLiteral("Translating to ") + language.name + QStringLiteral("…");
    case TextAction::Kind::fixGrammar:
        return QStringLiteral("Fixing grammar…");
    case TextAction::Kind::rewrite:
        return QStringLiteral("Fixing grammar (") + rawValue(action.style()).toLower() +
               QStringLiteral(" tone)…");
    case TextAction::Kind::improvePrompt:
        return QStringLiteral("Improving prompt…");
    case TextAction::Kind::custom:
        return QStringLiteral("Working…");
    }
    return {};
}

Control resultControl(ResultControl control, Layout layout)
{
    const bool chips = layout == Layout::chips;
    switch (control) {
    case ResultControl::replace:
        return {QStringLiteral("arrow.2.squarepath"), QStringLiteral("Replace"),
                chips ? QStringLiteral("Alt+1") : QStringLiteral("Paste this over your selection")};
    case ResultControl::copy:
        return {QStringLiteral("doc.on.doc"), QStringLiteral("Copy"),
                chips ? QStringLiteral("Alt+2") : QStringLiteral("Copy this to the clipboard")};
    case ResultControl::back:
        return {QStringLiteral("chevron.left"), QStringLiteral("Back"),
                chips ? QStringLiteral("Back to your text (Alt+3 or Esc)")
                      : QStringLiteral("Back to your text (Esc)")};
    }
    return {};
}

QString usageTooltip()
{
    return QStringLiteral("Tokens this call, from OpenAI's usage report");
}

std::optional<Control> recoveryButton(ErrorRecovery recovery)
{
    switch (recovery) {
    case ErrorRecovery::none:
        return std::nullopt;
    case ErrorRecovery::openSettings:
        return Control{QStringLiteral("gearshape"), QStringLiteral("Settings"),
                       QStringLiteral("Open Quillmark Settings")};
    case ErrorRecovery::update:
        return Control{QStringLiteral("arrow.down.circle"), QStringLiteral("Update"),
                       QStringLiteral("Download the latest Quillmark")};
    case ErrorRecovery::retry:
        return Control{QStringLiteral("arrow.clockwise"), QStringLiteral("Try Again"),
                       QStringLiteral("Run the same action again")};
    }
    return std::nullopt;
}

Control errorCopy()
{
    return {QStringLiteral("doc.on.doc"), QStringLiteral("Copy"),
            QStringLiteral("Copy your text to the clipboard")};
}

Control errorBack()
{
    return {QStringLiteral("chevron.left"), QStringLiteral("Back"),
            QStringLiteral("Back to your text (Esc)")};
}

Control copied()
{
    return {QStringLiteral("checkmark"), QStringLiteral("Copied"),
            QStringLiteral("Copied to the clipboard")};
}

QString keyHint(int buttons, bool escapeCloses)
{
    const QString escape =
        escapeCloses ? QStringLiteral("Esc closes") : QStringLiteral("Esc goes back");
    if (buttons == 1)
        return shortcut(1) + QStringLiteral(" presses this button · ") + escape;
    return shortcut(1) + (buttons == 2 ? QStringLiteral(" and ") : QStringLiteral(" to ")) +
           shortcut(buttons) + QStringLiteral(" press these buttons · ") + escape;
}

Notice permissionNotice()
{
    return {QStringLiteral("lock.shield"), QStringLiteral("Keyboard access needed"),
            QStringLiteral("Quillmark reads your selected text and pastes the result back — on "
                           "X11 both need the XTEST and XInputExtension extensions, which this X "
                           "server does not offer."),
            QStringLiteral("How to Fix…")};
}

Notice serviceNotice()
{
    return {QStringLiteral("gearshape"), AIGateway::notConfiguredMessage(),
            QStringLiteral("Nothing was sent. Choose where your text goes: OpenAI with your key, "
                           "a server on this computer such as Ollama or llama.cpp, or a relay "
                           "service."),
            QStringLiteral("Open Settings…")};
}

QString noSelectionHint()
{
    return QStringLiteral("Select some text first, then press the hotkey.");
}

} // namespace PopoverTexts
