// SPDX-License-Identifier: MIT
#include "onboarding/guide/PermissionPage.h"

#include "app/Callback.h"
#include "onboarding/guide/GuideStyle.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

PermissionPage::PermissionPage(QWidget* parent)
    : QWidget(parent)
    , m_missing(new QWidget(this))
    , m_granted(new QWidget(this))
{
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_missing);
    stack->addWidget(m_granted);

    auto* missing = new QVBoxLayout(m_missing);
    missing->setContentsMargins(0, 0, 0, 0);
    missing->setSpacing(14);
    missing->addWidget(GuideStyle::title(QStringLiteral("One permission first."), m_missing));
    missing->addWidget(GuideStyle::body(
        QStringLiteral("macOS keeps reading your selected text behind the Accessibility "
                       "permission, and Quillmark needs it for exactly two things: reading what "
                       "you selected, and pasting the result back over it."),
        m_missing));
    missing->addWidget(GuideStyle::body(
        QStringLiteral("It does not watch what you type. The shortcut is registered with the "
                       "system, so nothing reaches Quillmark until you press it."),
        m_missing));
    auto* grant = new QPushButton(QStringLiteral("Open Accessibility settings"), m_missing);
    grant->setAutoDefault(false);
    connect(grant, &QPushButton::clicked, this, [this] { invokeIfSet(m_onGrant); });
    missing->addWidget(grant, 0, Qt::AlignLeft);
    missing->addWidget(GuideStyle::hint(
        QStringLiteral("Find Quillmark in the list and switch it on. This screen usually "
                       "notices by itself within a second or two."),
        m_missing));
    auto* relaunch =
        GuideStyle::link(QStringLiteral("Already switched it on? Relaunch Quillmark"), m_missing);
    connect(relaunch, &QPushButton::clicked, this, [this] { invokeIfSet(m_onRelaunch); });
    missing->addWidget(relaunch, 0, Qt::AlignLeft);
    missing->addStretch(1);

    auto* granted = new QVBoxLayout(m_granted);
    granted->setContentsMargins(0, 0, 0, 0);
    granted->setSpacing(14);
    granted->addWidget(GuideStyle::title(QStringLiteral("You're all set."), m_granted));
    auto* grantedRow = new QHBoxLayout;
    auto* check = new QLabel(m_granted);
    check->setPixmap(GuideStyle::symbol(QStringLiteral("checkmark.circle.fill"), 18,
                                        FormLabels::green(*this), *this));
    grantedRow->addWidget(check);
    grantedRow->addWidget(new QLabel(QStringLiteral("Accessibility access granted"), m_granted));
    grantedRow->addStretch(1);
    granted->addLayout(grantedRow);
    granted->addWidget(GuideStyle::body(
        QStringLiteral("That's the only permission Quillmark ever asks for."), m_granted));
    granted->addStretch(1);

    render(false, {}, {});
}

void PermissionPage::render(bool isTrusted, std::function<void()> onGrant,
                            std::function<void()> onRelaunch)
{
    m_isTrusted = isTrusted;
    m_onGrant = std::move(onGrant);
    m_onRelaunch = std::move(onRelaunch);
    m_missing->setVisible(!isTrusted);
    m_granted->setVisible(isTrusted);
}
