// SPDX-License-Identifier: MIT
#include "onboarding/guide/WelcomePage.h"

#include "onboarding/guide/GuideStyle.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

namespace {

QString doubleTapText(DoubleTapModifier modifier)
{
    if (modifier == DoubleTapModifier::off)
        return QStringLiteral("Prefer one hand? Pick a modifier to tap twice instead of "
                              "pressing a chord. The shortcut above keeps working either way.");
    return QStringLiteral("Tap ") + keyLabel(modifier) +
           QStringLiteral(" twice quickly, with nothing else held. Holding it, or pressing any "
                          "key with it, is ignored.");
}

} // namespace

WelcomePage::WelcomePage(const ShortcutRecorder& recorder, QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(GuideStyle::title(QStringLiteral("Your words. Just better."), this));
    column->addWidget(GuideStyle::body(
        QStringLiteral("Quillmark lives in the tray. Select text in any application, press "
                       "your shortcut, and fix its grammar, translate it, or turn a rough note "
                       "into a usable AI prompt."),
        this));

    auto* shortcutRow = new QHBoxLayout;
    shortcutRow->addWidget(new QLabel(QStringLiteral("Your shortcut"), this));
    m_recorder = recorder.makeView(this);
    shortcutRow->addWidget(m_recorder);
    shortcutRow->addStretch(1);
    column->addLayout(shortcutRow);
    m_error = FormLabels::caption(QString(), FormLabels::red(*this), this);
    column->addWidget(m_error);
    column->addWidget(GuideStyle::hint(
        QStringLiteral("Click it and press a combination of at least two of Ctrl, Alt and "
                       "Super, such as Alt+Super+T. Backspace puts the default back."),
        this));

    auto* doubleTapRow = new QHBoxLayout;
    doubleTapRow->addWidget(new QLabel(QStringLiteral("One-handed"), this));
    m_picker = new QComboBox(this);
    m_picker->setAccessibleName(QStringLiteral("One-handed"));
    for (const DoubleTapModifier modifier : allCases(CasesOf<DoubleTapModifier>{}))
        m_picker->addItem(title(modifier), rawValue(modifier));
    connect(m_picker, &QComboBox::activated, this, [this](int index) {
        emit doubleTapChosen(allCases(CasesOf<DoubleTapModifier>{}).at(size_t(index)));
    });
    doubleTapRow->addWidget(m_picker);
    doubleTapRow->addStretch(1);
    column->addLayout(doubleTapRow);
    m_doubleTapHint = GuideStyle::hint(QString(), this);
    column->addWidget(m_doubleTapHint);
    column->addStretch(1);
}

void WelcomePage::render(const ShortcutRecorder& recorder,
                         const std::optional<QString>& shortcutError, DoubleTapModifier doubleTap)
{
    recorder.update(*m_recorder);
    m_error->setText(shortcutError.value_or(QString()));
    m_error->setVisible(shortcutError.has_value());
    m_picker->setCurrentIndex(m_picker->findData(rawValue(doubleTap)));
    m_doubleTapHint->setText(doubleTapText(doubleTap));
}

QString WelcomePage::shortcutError() const
{
    return m_error->text();
}

QString WelcomePage::doubleTapHint() const
{
    return m_doubleTapHint->text();
}
