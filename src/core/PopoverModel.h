// SPDX-License-Identifier: MIT
#pragma once

#include "core/Language.h"
#include "core/PopoverState.h"

#include <QObject>
#include <QSizeF>
#include <functional>
#include <optional>

// The data behind the floating panel and the callbacks its controls invoke. It holds no
// behaviour: the run flow and the panel controller set the callbacks. Main thread only.
// Every field write that changes a value emits the matching *Changed signal.
class PopoverModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(PopoverState state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(QString editableOriginal READ editableOriginal WRITE setEditableOriginal NOTIFY
                   editableOriginalChanged)
    Q_PROPERTY(QString editableResult READ editableResult WRITE setEditableResult NOTIFY
                   editableResultChanged)

public:
    explicit PopoverModel(QObject* parent = nullptr);

    const PopoverState& state() const { return m_state; }
    // A new state also ends the confirmation of a copy.
    void setState(const PopoverState& state);

    const Language& targetLanguage() const { return m_targetLanguage; }
    void setTargetLanguage(const Language& language);

    const QString& editableOriginal() const { return m_editableOriginal; }
    void setEditableOriginal(const QString& text);

    const QString& editableResult() const { return m_editableResult; }
    void setEditableResult(const QString& text);

    const std::optional<QString>& lastUsage() const { return m_lastUsage; }
    void setLastUsage(const std::optional<QString>& usage);

    // The text was just copied: the Copy button says so until the panel closes.
    bool copyConfirmed() const { return m_copyConfirmed; }
    void setCopyConfirmed(bool confirmed);

    // Callbacks, each optional. Invoke them through invokeIfSet().
    std::function<void(QSizeF)> onContentSizeChange;
    std::function<void(const TextAction&)> onAction;
    std::function<void()> onReplace;
    std::function<void()> onCopy;
    std::function<void()> onBack;
    std::function<void()> onDismiss;
    std::function<void()> onOpenAccessibilitySettings;
    std::function<void()> onOpenSettings;
    std::function<void()> onRetry;
    std::function<void()> onUpdate;

    // The error state's buttons, left to right: its recovery's when one can help, then Copy
    // and Back. The panel shows them in this order and Alt+1, Alt+2… press them.
    QList<const std::function<void()>*> errorButtons() const;

signals:
    void stateChanged();
    void targetLanguageChanged();
    void editableOriginalChanged();
    void editableResultChanged();
    void lastUsageChanged();
    void copyConfirmedChanged();

private:
    PopoverState m_state = PopoverState::noSelection();
    Language m_targetLanguage = Language::english();
    QString m_editableOriginal;
    QString m_editableResult;
    std::optional<QString> m_lastUsage;
    bool m_copyConfirmed = false;
};
