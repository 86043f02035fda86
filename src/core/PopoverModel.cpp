// SPDX-License-Identifier: MIT
#include "core/PopoverModel.h"

namespace {
template <class T, class Signal>
void assign(PopoverModel* model, T& field, const T& value, Signal changed)
{
    if (field == value)
        return;
    field = value;
    emit(model->*changed)();
}
} // namespace

PopoverModel::PopoverModel(QObject* parent)
    : QObject(parent)
{}

void PopoverModel::setState(const PopoverState& state)
{
    if (state != m_state)
        setCopyConfirmed(false);
    assign(this, m_state, state, &PopoverModel::stateChanged);
}

void PopoverModel::setTargetLanguage(const Language& language)
{
    assign(this, m_targetLanguage, language, &PopoverModel::targetLanguageChanged);
}

void PopoverModel::setEditableOriginal(const QString& text)
{
    assign(this, m_editableOriginal, text, &PopoverModel::editableOriginalChanged);
}

void PopoverModel::setEditableResult(const QString& text)
{
    assign(this, m_editableResult, text, &PopoverModel::editableResultChanged);
}

void PopoverModel::setLastUsage(const std::optional<QString>& usage)
{
    assign(this, m_lastUsage, usage, &PopoverModel::lastUsageChanged);
}

void PopoverModel::setCopyConfirmed(bool confirmed)
{
    assign(this, m_copyConfirmed, confirmed, &PopoverModel::copyConfirmedChanged);
}

QList<const std::function<void()>*> PopoverModel::errorButtons() const
{
    QList<const std::function<void()>*> buttons;
    switch (m_state.recovery()) {
    case ErrorRecovery::none:
        break;
    case ErrorRecovery::openSettings:
        buttons.append(&onOpenSettings);
        break;
    case ErrorRecovery::update:
        buttons.append(&onUpdate);
        break;
    case ErrorRecovery::retry:
        buttons.append(&onRetry);
        break;
    }
    return buttons << &onCopy << &onBack;
}
