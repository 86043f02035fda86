// SPDX-License-Identifier: MIT
#include "ui/settings/HotkeySection.h"

#include "core/Callback.h"
#include "input/DoubleTapTrigger.h"
#include "platform/AccessibilityPermission.h"
#include "settings/Preferences.h"
#include "ui/settings/DoubleTapWaitingFlag.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

const QString recorderHint =
    QStringLiteral("Click the field and press a new combination of at least two of Ctrl, Alt "
                   "and Super — Ctrl, Alt or Super alone with a key belongs to the application "
                   "in front or the desktop. Backspace puts the default back.");

QString doubleTapText(DoubleTapModifier modifier)
{
    if (modifier == DoubleTapModifier::off)
        return QStringLiteral("Prefer one hand? Pick a modifier to tap twice instead of "
                              "pressing a chord. The combination above keeps working either "
                              "way.");
    return QStringLiteral("Tap ") + keyLabel(modifier) +
           QStringLiteral(" twice quickly, with nothing else held. Holding it, or pressing any "
                          "key with it, is ignored.");
}

} // namespace

HotkeySection::HotkeySection(Owner owner, KeyCharacters& layout, Preferences& preferences,
                             QWidget* parent)
    : FormSection(QStringLiteral("Hotkey"), parent)
    , m_owner(std::move(owner))
    , m_layout(layout)
    , m_preferences(preferences)
    , m_hotkeyShortcut(m_preferences.hotkeyShortcut())
    , m_doubleTapModifier(m_preferences.doubleTapModifier())
{
    m_recorder = recorderState().makeView(nullptr);
    addRow(QStringLiteral("Show panel"), m_recorder);
    m_caption = FormLabels::caption(recorderHint, FormLabels::secondary(*this), nullptr);
    addWidget(m_caption);
    m_reset = new QPushButton(QStringLiteral("Reset to default"));
    m_reset->setFont(FormLabels::captionFont());
    m_reset->setAutoDefault(false);
    connect(m_reset, &QPushButton::clicked, this, [this] { m_recorder->resetToDefault(); });
    auto* resetRow = new QWidget;
    auto* resetLayout = new QHBoxLayout(resetRow);
    resetLayout->setContentsMargins(0, 0, 0, 0);
    resetLayout->addWidget(m_reset);
    resetLayout->addStretch(1);
    addWidget(resetRow);
    m_offer = new DesktopShortcutOffer(m_owner.desktop);
    addWidget(m_offer);
    m_offer->render(m_hotkeyShortcut, m_layout);

    m_picker = new QComboBox(this);
    m_picker->setAccessibleName(QStringLiteral("One-handed"));
    for (const DoubleTapModifier modifier : allCases(CasesOf<DoubleTapModifier>{}))
        m_picker->addItem(::title(modifier), rawValue(modifier));
    if (m_owner.desktop.doubleTapWorks)
        addRow(QStringLiteral("One-handed"), m_picker);
    else
        m_picker->hide();
    connect(m_picker, &QComboBox::activated, this, [this](int index) {
        chooseDoubleTap(allCases(CasesOf<DoubleTapModifier>{}).at(size_t(index)));
    });

    m_warning = new QWidget;
    auto* warningRow = new QHBoxLayout(m_warning);
    warningRow->setContentsMargins(0, 0, 0, 0);
    warningRow->setSpacing(8);
    m_warningText = FormLabels::caption(
        QStringLiteral("Needs the X server's XInput and XTEST extensions first."),
        FormLabels::red(*this), m_warning);
    warningRow->addWidget(m_warningText);
    m_openSettings = new QPushButton(QStringLiteral("Open Settings…"), m_warning);
    m_openSettings->setFont(FormLabels::captionFont());
    connect(m_openSettings, &QPushButton::clicked, this, [this] {
        if (m_owner.accessibility)
            m_owner.accessibility->openSystemSettings();
    });
    warningRow->addWidget(m_openSettings);
    warningRow->addStretch(1);
    addWidget(m_warning);
    m_hint = FormLabels::caption(QString(), FormLabels::secondary(*this), nullptr);
    addWidget(m_hint);

    if (m_owner.waiting)
        connect(m_owner.waiting, &DoubleTapWaitingFlag::changed, this,
                &HotkeySection::renderDoubleTap);
    renderCaption();
    renderDoubleTap();
}

std::optional<QString> HotkeySection::record(const HotkeyShortcut& shortcut)
{
    if (const std::optional<HotkeyShortcut::Rejection> rejection = shortcut.rejection(m_layout)) {
        m_hotkeyError = rejection->message();
        renderCaption();
        return m_hotkeyError;
    }
    if (invokeIfSet(m_owner.onHotkeyChange, shortcut)) {
        m_preferences.setHotkeyShortcut(shortcut);
        m_hotkeyShortcut = shortcut;
        // An entry in the desktop's own shortcuts follows the new combination.
        m_hotkeyError = m_offer->follow(shortcut);
        m_offer->render(shortcut, m_layout);
        renderCaption();
        // A reset from the field's menu comes while it is idle; a recording field keeps its
        // title until the recording ends.
        renderRecorder();
        return m_hotkeyError;
    }
    // The shortcut in force stays registered and stored.
    m_hotkeyError = QStringLiteral("Already used by another application: ") +
                    shortcut.label(m_layout) + QStringLiteral(". Still using ") +
                    m_hotkeyShortcut.label(m_layout) + QStringLiteral(".");
    renderCaption();
    return m_hotkeyError;
}

void HotkeySection::reload()
{
    m_hotkeyShortcut = m_preferences.hotkeyShortcut();
    m_doubleTapModifier = m_preferences.doubleTapModifier();
    renderRecorder();
    m_offer->render(m_hotkeyShortcut, m_layout);
    renderDoubleTap();
}

QString HotkeySection::recorderCaption() const
{
    return m_caption->text();
}

QString HotkeySection::doubleTapHint() const
{
    return isShowingAccessibilityWarning() ? m_warningText->text() : m_hint->text();
}

bool HotkeySection::isShowingAccessibilityWarning() const
{
    return !m_warning->isHidden();
}

void HotkeySection::recordingChanged(bool isRecording)
{
    if (isRecording) {
        m_hotkeyError.reset();
        renderCaption();
    }
    invokeIfSet(m_owner.onRecordingChange, isRecording);
    // A recording that ended with a new shortcut shows it now; the field keeps its own
    // title while it records.
    if (!isRecording)
        renderRecorder();
}

void HotkeySection::chooseDoubleTap(DoubleTapModifier modifier)
{
    m_doubleTapModifier = modifier;
    m_preferences.setDoubleTapModifier(modifier);
    if (m_owner.doubleTap)
        m_owner.doubleTap->apply(modifier);
    renderDoubleTap();
}

ShortcutRecorder HotkeySection::recorderState()
{
    return {m_layout, m_hotkeyShortcut,
            [this](const HotkeyShortcut& shortcut) { return record(shortcut); },
            [this](bool isRecording) { recordingChanged(isRecording); }};
}

void HotkeySection::renderRecorder()
{
    recorderState().update(*m_recorder);
}

void HotkeySection::renderCaption()
{
    m_caption->setText(m_hotkeyError.value_or(recorderHint));
    FormLabels::setColor(*m_caption,
                         m_hotkeyError ? FormLabels::red(*this) : FormLabels::secondary(*this));
}

void HotkeySection::renderDoubleTap()
{
    const auto cases = allCases(CasesOf<DoubleTapModifier>{});
    m_picker->setCurrentIndex(
        int(std::find(cases.begin(), cases.end(), m_doubleTapModifier) - cases.begin()));
    const bool works = m_owner.desktop.doubleTapWorks;
    const bool waiting = works && m_doubleTapModifier != DoubleTapModifier::off &&
                         m_owner.waiting && m_owner.waiting->isWaiting();
    m_warning->setVisible(waiting);
    m_hint->setVisible(!waiting);
    m_hint->setText(works ? doubleTapText(m_doubleTapModifier)
                          : QStringLiteral("Double tap works in X11 sessions only."));
}
