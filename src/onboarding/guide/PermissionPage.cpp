// SPDX-License-Identifier: MIT
#include "onboarding/guide/PermissionPage.h"

#include "core/Callback.h"
#include "onboarding/guide/GuideStyle.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QString causeFor(const QStringList& missing)
{
    if (missing.contains(QStringLiteral("X display")))
        return QStringLiteral("Quillmark reads your selected text and pastes the result back "
                              "through the X server (X11, or XWayland under Wayland), and no X "
                              "server answered.");
    if (missing.isEmpty())
        return QStringLiteral("Quillmark reads your selected text and pastes the result back "
                              "through two extensions of the X server, XTEST and "
                              "XInputExtension, and they are not available here.");
    return QStringLiteral("Quillmark reads your selected text and pastes the result back "
                          "through two extensions of the X server, XTEST and XInputExtension. "
                          "This X server lacks ") +
           missing.join(QStringLiteral(" and ")) + QStringLiteral(".");
}

QString busLine(PermissionPage::BusView view)
{
    switch (view) {
    case PermissionPage::BusView::hidden:
        return {};
    case PermissionPage::BusView::off:
        return QStringLiteral("The accessibility bus is switched off, so Quillmark copies your "
                              "selection through the clipboard instead of reading it directly.");
    case PermissionPage::BusView::switchedOn:
        return QStringLiteral("The accessibility bus is on. Applications started before need a "
                              "restart before Quillmark can read from them.");
    case PermissionPage::BusView::switchFailed:
        return QStringLiteral("The accessibility bus could not be switched on. Is at-spi2-core "
                              "installed?");
    }
    return {};
}

} // namespace

PermissionPage::PermissionPage(QWidget* parent)
    : QWidget(parent)
    , m_missing(new QWidget(this))
    , m_granted(new QWidget(this))
    , m_bus(new QWidget(this))
{
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_missing);
    stack->addWidget(m_granted);
    stack->addWidget(m_bus);
    stack->addStretch(1);

    auto* missing = new QVBoxLayout(m_missing);
    missing->setContentsMargins(0, 0, 0, 0);
    missing->setSpacing(14);
    missing->addWidget(GuideStyle::title(QStringLiteral("One thing first."), m_missing));
    m_cause = GuideStyle::body(causeFor({}), m_missing);
    missing->addWidget(m_cause);
    missing->addWidget(GuideStyle::body(
        QStringLiteral("It does not watch what you type. The shortcut is registered with the "
                       "X server, so nothing reaches Quillmark until you press it."),
        m_missing));
    auto* grant = new QPushButton(QStringLiteral("How to fix it"), m_missing);
    grant->setAutoDefault(false);
    connect(grant, &QPushButton::clicked, this, [this] { invokeIfSet(m_onGrant); });
    missing->addWidget(grant, 0, Qt::AlignLeft);
    missing->addWidget(GuideStyle::hint(
        QStringLiteral("Desktop sessions have both as a rule; a VNC or remote session may start "
                       "its X server without them. This screen notices by itself within a "
                       "second or two."),
        m_missing));
    auto* relaunch =
        GuideStyle::link(QStringLiteral("Already fixed it? Relaunch Quillmark"), m_missing);
    connect(relaunch, &QPushButton::clicked, this, [this] { invokeIfSet(m_onRelaunch); });
    missing->addWidget(relaunch, 0, Qt::AlignLeft);

    auto* granted = new QVBoxLayout(m_granted);
    granted->setContentsMargins(0, 0, 0, 0);
    granted->setSpacing(14);
    granted->addWidget(GuideStyle::title(QStringLiteral("This desktop is ready."), m_granted));
    auto* grantedRow = new QHBoxLayout;
    auto* check = new QLabel(m_granted);
    check->setPixmap(GuideStyle::symbol(QStringLiteral("checkmark.circle.fill"), 18,
                                        FormLabels::green(*this), *this));
    grantedRow->addWidget(check);
    grantedRow->addWidget(new QLabel(QStringLiteral("Keyboard access works"), m_granted));
    grantedRow->addStretch(1);
    granted->addLayout(grantedRow);
    granted->addWidget(GuideStyle::body(
        QStringLiteral("There is nothing to grant on this desktop: the X server gives Quillmark "
                       "what it needs."),
        m_granted));

    auto* bus = new QVBoxLayout(m_bus);
    bus->setContentsMargins(0, 14, 0, 0);
    bus->setSpacing(8);
    m_busText = GuideStyle::hint(QString(), m_bus);
    bus->addWidget(m_busText);
    m_switchOn = new QPushButton(QStringLiteral("Switch on the accessibility bus"), m_bus);
    m_switchOn->setAutoDefault(false);
    connect(m_switchOn, &QPushButton::clicked, this, [this] { invokeIfSet(m_onSwitchOn); });
    bus->addWidget(m_switchOn, 0, Qt::AlignLeft);

    render(false, {}, {});
    renderBus(BusView::hidden, {});
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

void PermissionPage::renderCause(const QStringList& missing)
{
    m_cause->setText(causeFor(missing));
}

void PermissionPage::renderBus(BusView view, std::function<void()> onSwitchOn)
{
    m_onSwitchOn = std::move(onSwitchOn);
    m_busText->setText(busLine(view));
    m_bus->setVisible(view != BusView::hidden);
    m_switchOn->setVisible(view == BusView::off || view == BusView::switchFailed);
}

QString PermissionPage::causeText() const
{
    return m_cause->text();
}

QString PermissionPage::busText() const
{
    return m_bus->isHidden() ? QString() : m_busText->text();
}
