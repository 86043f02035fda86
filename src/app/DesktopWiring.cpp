// SPDX-License-Identifier: MIT
#include "app/DesktopWiring.h"

#include "ai/KeychainHelper.h"
#include "app/DesktopApplicationMover.h"
#include "app/DesktopUpdater.h"
#include "app/null/NullComponents.h"
#include "app/null/NullFrontmostWindows.h"
#include "app/null/NullKeystrokeSender.h"
#include "app/null/NullOutsideClickWatcher.h"
#include "app/null/NullPointerLocator.h"
#include "app/null/NullSecureInput.h"
#include "capture/Replacer.h"
#include "capture/SelectionCapture.h"
#include "core/Log.h"
#include "input/BuiltInHotkeySelfTest.h"
#include "input/DoubleTapMonitor.h"
#include "input/HotkeyManager.h"
#include "onboarding/guide/OnboardingWindowController.h"
#include "platform/KeyboardLayout.h"
#include "platform/atspi/AtspiFocusedTextReader.h"
#include "platform/dbus/DBusAccessibilityBus.h"
#include "platform/gnome/GnomeCustomKeybinding.h"
#include "platform/kde/KGlobalAccelGrabber.h"
#include "platform/kde/KGlobalAccelHold.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/FakeInputSender.h"
#include "platform/wayland/ForeignToplevelWindows.h"
#include "platform/wayland/LayerShellPointerLocator.h"
#include "platform/wayland/VirtualKeyboardSender.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"
#include "platform/x11/EwmhFrontmostWindows.h"
#include "platform/x11/X11AccessibilityPermission.h"
#include "platform/x11/X11RunningApplications.h"
#include "platform/x11/XInputKeyEventSource.h"
#include "platform/x11/XInputOutsideClickWatcher.h"
#include "platform/x11/XTestKeystrokeSender.h"
#include "platform/x11/XcbKeyGrabber.h"
#include "platform/x11/XcbPasteboard.h"
#include "platform/x11/XcbSecureInput.h"
#include "platform/xdg/XdgPaths.h"
#include "platform/xkb/XkbKeyboardLayout.h"
#include "ui/PopoverController.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/tray/StatusItemController.h"

#include <QtGlobal>
#include <cstdio>

namespace {

bool usesKGlobalAccel(const DesktopSession& session)
{
    return session.isWayland() && session.desktop == DesktopSession::Desktop::kde;
}

// What the desktop's shortcut settings list Quillmark's keys as.
KGlobalAccelGrabber::ActionName kdeActionName(uint32_t id)
{
    if (id == HotkeyManager::mainId)
        return {QStringLiteral("trigger"), QStringLiteral("Open or close the panel")};
    if (id == HotkeyManager::escapeId)
        return {QStringLiteral("panel-close"), QStringLiteral("Close the open panel")};
    const QString row = QString::number(id - HotkeyManager::firstActionId + 1);
    return {QStringLiteral("panel-row-") + row,
            QStringLiteral("Pick row %1 of the open panel").arg(row)};
}

} // namespace

DesktopWiring::DesktopWiring(DesktopSession session)
    : m_secrets(std::make_unique<LibsecretStore>())
    , m_layout(std::make_unique<XkbKeyboardLayout>(m_x11))
    , m_session(session)
{}
DesktopWiring::~DesktopWiring() = default;

AppComponents DesktopWiring::takeComponents()
{
    AppComponents components;
    // The migration runs on a pool thread: it gets preferences of its own over the same store.
    components.migrateLegacyKey = [keychain = KeychainHelper(*m_secrets),
                                   preferences = m_preferences]() mutable {
        keychain.migrateLegacyKeyIfNeeded(preferences);
    };
    if (m_session.hasX11Display) {
        wireX11(components);
    } else {
        components.makePopover = [&preferences = m_preferences] {
            return std::make_unique<PopoverController>(std::make_unique<NullOutsideClickWatcher>(),
                                                       preferences);
        };
        if (!usesKGlobalAccel(m_session))
            std::fputs(
                "quillmark: no X display (DISPLAY is not set); global shortcuts, reading the "
                "selection and pasting are not available. Bind `quillmark trigger` to a "
                "desktop shortcut instead.\n",
                stderr);
    }
    if (m_session.isWayland())
        wireWayland(components);
    if (usesKGlobalAccel(m_session))
        wireKde(components);
    // XWayland shows the double-tap watcher only the keys typed into X11 windows.
    if (m_session.isWayland())
        components.makeDoubleTap = nullptr;
    logChoices();
    components.makeUpdater = [&clock = m_clock, &config = m_updateConfig] {
        return DesktopUpdater::make(clock, config);
    };
    components.applicationMover = DesktopApplicationMover::make(m_clock);
    // Whatever the desktop lacks gets its null adapter, which says it is not available.
    NullComponents::fillMissing(components);

    // The tray, the settings window and the guide borrow the permission, which the
    // delegate keeps longer than any of them.
    AccessibilityPermission* permission = components.accessibility.get();
    components.makeStatusItem = [permission, &clock = m_clock, &updates = m_updateConfig] {
        return std::make_unique<StatusItemController>(*permission, clock, updates);
    };
    const DesktopShortcut shortcut = desktopShortcut(*components.pasteBack);
    components.makeSettingsWindow = [permission, shortcut, &layout = *m_layout, &clock = m_clock,
                                     &secrets = *m_secrets,
                                     &preferences = m_preferences](DoubleTapTrigger& doubleTap) {
        auto window = std::make_unique<SettingsWindowController>(doubleTap, *permission, layout,
                                                                 clock, secrets, preferences);
        window->setDesktopShortcut(shortcut);
        return window;
    };
    m_accessibilityBus = std::make_unique<DBusAccessibilityBus>();
    components.makeWelcomeGuide = [permission, x11Permission = m_x11Permission, shortcut,
                                   bus = m_accessibilityBus.get(), &layout = *m_layout,
                                   &clock = m_clock, &secrets = *m_secrets,
                                   &preferences = m_preferences] {
        auto guide = std::make_unique<OnboardingWindowController>(
            *permission, layout, clock, secrets, preferences,
            [x11Permission] {
                if (x11Permission)
                    x11Permission->relaunch();
            },
            bus);
        guide->setDesktopShortcut(shortcut);
        return guide;
    };
    return components;
}

DesktopShortcut DesktopWiring::desktopShortcut(PasteBack& clipboard)
{
    DesktopShortcut shortcut;
    shortcut.command = {XdgPaths::runningProgram(), QStringLiteral("trigger")};
    shortcut.copy = [&clipboard](const QString& text) { clipboard.copy(text); };
    // XWayland shows the double-tap watcher only the keys typed into X11 windows.
    shortcut.doubleTapWorks = !m_session.isWayland();
    // Under Wayland only KDE lets Quillmark hold a key itself; elsewhere the desktop's own
    // settings run `quillmark trigger`.
    if (!m_session.isWayland() || usesKGlobalAccel(m_session))
        return shortcut;
    shortcut.home = DesktopShortcut::Home::none;
    if (m_session.desktop == DesktopSession::Desktop::wlroots) {
        shortcut.home = DesktopShortcut::Home::sway;
    } else if (m_session.desktop == DesktopSession::Desktop::gnome) {
        m_gnomeKeybinding = GnomeCustomKeybinding::make(*m_layout);
        if (m_gnomeKeybinding) {
            shortcut.home = DesktopShortcut::Home::gnome;
            shortcut.keybinding = m_gnomeKeybinding.get();
        }
    }
    return shortcut;
}

void DesktopWiring::wireX11(AppComponents& components)
{
    // The adapters share one connection; the self-test's rival opens its own through the one
    // display.
    const X11Display display = m_display;
    components.makePopover = [&x11 = m_x11, &preferences = m_preferences] {
        return std::make_unique<PopoverController>(std::make_unique<XInputOutsideClickWatcher>(x11),
                                                   preferences);
    };
    components.makeHotkeyRegistrar = [&x11 = m_x11, &layout = *m_layout, &ownGrab = m_ownGrab] {
        return std::make_unique<HotkeyManager>(
            std::make_unique<XcbKeyGrabber>(layout, x11, &ownGrab), layout);
    };
    components.secureInput = std::make_unique<XcbSecureInput>(m_ownGrab, m_x11);
    auto accessibility = std::make_unique<X11AccessibilityPermission>(m_x11);
    m_x11Permission = accessibility.get();
    components.accessibility = std::move(accessibility);
    // The delegate keeps its components longer than the watcher it makes from them.
    components.makeDoubleTap = [&x11 = m_x11, permission = components.accessibility.get(),
                                &clock = m_clock] {
        return std::make_unique<DoubleTapMonitor>(std::make_unique<XInputKeyEventSource>(x11),
                                                  *permission, clock);
    };
    // The self-test's rival grabs on an X connection of its own, as another application.
    components.hotkeySelfTest = std::make_unique<BuiltInHotkeySelfTest>(
        [display, &layout = *m_layout] {
            return std::make_unique<XcbKeyGrabber>(layout,
                                                   std::make_unique<X11Connection>(display));
        },
        *m_layout, m_preferences);

    m_windows = std::make_unique<EwmhFrontmostWindows>(m_clock, m_x11);
    m_focusedText = std::make_unique<AtspiFocusedTextReader>();
    m_keys =
        std::make_unique<XTestKeystrokeSender>(*components.secureInput, m_ownGrab, m_clock, m_x11);
    m_pasteboard = std::make_unique<XcbPasteboard>(m_clock, m_x11);
    components.selection =
        std::make_unique<SelectionCapture>(*m_windows, *m_focusedText, *components.secureInput,
                                           *m_keys, *m_pasteboard, m_clock, m_preferences);
    components.pasteBack = std::make_unique<Replacer>(*m_windows, *m_keys, *m_pasteboard,
                                                      *m_focusedText, m_clock, m_preferences);
    components.runningApplications = std::make_unique<X11RunningApplications>(m_x11);
}

void DesktopWiring::wireWayland(AppComponents& components)
{
    m_wayland = WaylandConnection::open();
    // XWayland does not know the pointer over native windows: the compositor is asked where
    // it is, or the panel opens at the centre of the screen.
    if (m_wayland)
        m_pointer = std::make_unique<LayerShellPointerLocator>(*m_wayland, m_clock);
    else
        m_pointer = std::make_unique<NullPointerLocator>();
    components.makePopover = [hasX11 = m_session.hasX11Display, &x11 = m_x11,
                              pointer = m_pointer.get(), &preferences = m_preferences] {
        std::unique_ptr<OutsideClickWatcher> clicks;
        if (hasX11)
            clicks = std::make_unique<XInputOutsideClickWatcher>(x11);
        else
            clicks = std::make_unique<NullOutsideClickWatcher>();
        return std::make_unique<PopoverController>(std::move(clicks), preferences, nullptr,
                                                   pointer);
    };
    if (!m_wayland)
        return;
    // Keys reach native and XWayland applications alike through the compositor; XTest
    // through XWayland would reach only the X11 ones.
    m_waylandKeymap = std::make_unique<WaylandKeymap>(*m_wayland);
    std::unique_ptr<KeystrokeSender> keys;
    if (VirtualKeyboardSender::isOffered(*m_wayland)) {
        keys = std::make_unique<VirtualKeyboardSender>(*m_wayland, *m_waylandKeymap);
        m_keysName = QStringLiteral("virtual keyboard");
    } else if (FakeInputSender::isOffered(*m_wayland)) {
        if (usesKGlobalAccel(m_session))
            m_shortcutHold = std::make_unique<KGlobalAccelHold>(
                QStringLiteral("quillmark"), kdeActionName(HotkeyManager::mainId).unique, m_clock);
        keys =
            std::make_unique<FakeInputSender>(*m_wayland, *m_waylandKeymap, m_shortcutHold.get());
        m_keysName = QStringLiteral("KDE fake input");
    } else {
        keys = std::make_unique<NullKeystrokeSender>();
        m_keysName = QStringLiteral("none (this desktop lets no application type)");
    }
    std::unique_ptr<Pasteboard> pasteboard;
    if (DataControlPasteboard::isOffered(*m_wayland)) {
        pasteboard = std::make_unique<DataControlPasteboard>(*m_wayland, m_clock);
        m_clipboardName = QStringLiteral("data control");
    }
    if (!pasteboard && !m_pasteboard)
        return;
    // The services built on the X11 adapters go before the adapters they borrow.
    components.selection.reset();
    components.pasteBack.reset();
    // wlroots lists its windows with their application ids, which tell terminals apart.
    if (ForeignToplevelWindows::isOffered(*m_wayland)) {
        m_x11Windows = std::move(m_windows);
        m_windows =
            std::make_unique<ForeignToplevelWindows>(*m_wayland, m_x11Windows.get(), m_clock);
    }
    if (!m_windows)
        m_windows = std::make_unique<NullFrontmostWindows>();
    if (!m_focusedText)
        m_focusedText = std::make_unique<AtspiFocusedTextReader>();
    if (!components.secureInput)
        components.secureInput = std::make_unique<NullSecureInput>();
    m_keys = std::move(keys);
    if (pasteboard)
        m_pasteboard = std::move(pasteboard);
    components.selection =
        std::make_unique<SelectionCapture>(*m_windows, *m_focusedText, *components.secureInput,
                                           *m_keys, *m_pasteboard, m_clock, m_preferences);
    components.pasteBack = std::make_unique<Replacer>(*m_windows, *m_keys, *m_pasteboard,
                                                      *m_focusedText, m_clock, m_preferences);
}

void DesktopWiring::wireKde(AppComponents& components)
{
    components.makeHotkeyRegistrar = [&layout = *m_layout] {
        return std::make_unique<HotkeyManager>(
            std::make_unique<KGlobalAccelGrabber>(layout, &kdeActionName), layout);
    };
    // The X11 rival would test XWayland's grabs, which the shortcut no longer uses.
    components.hotkeySelfTest.reset();
}

void DesktopWiring::logChoices() const
{
    const bool x11 = m_session.protocol == DesktopSession::Protocol::x11;
    const bool xwayland = m_session.runsQtThroughXWayland();
    const QString throughXWayland =
        xwayland ? QStringLiteral(" through XWayland (X11 applications only)") : QString();
    QString shortcut = QStringLiteral("none (bind `quillmark trigger` to a desktop shortcut)");
    if (usesKGlobalAccel(m_session))
        shortcut = QStringLiteral("kglobalaccel");
    else if (m_session.isWayland() && m_session.desktop != DesktopSession::Desktop::other)
        // The desktop's own keybinding runs `quillmark trigger` (see the settings window).
        shortcut = m_session.desktop == DesktopSession::Desktop::gnome
                       ? QStringLiteral("GNOME custom shortcut running `quillmark trigger`")
                       : QStringLiteral("the desktop's bindsym running `quillmark trigger`");
    else if (m_session.hasX11Display)
        shortcut = xwayland ? QStringLiteral("X11 key grab through XWayland (only while an X11 "
                                             "window has the focus)")
                            : QStringLiteral("X11 key grab");
    QString interface = QStringLiteral("native Wayland (placed by the compositor)");
    if (x11)
        interface = QStringLiteral("X11");
    else if (xwayland)
        interface = QStringLiteral("XWayland");
    else if (!m_session.isWayland())
        interface = QStringLiteral("none");
    const bool xtest = m_session.hasX11Display;
    const QString none = QStringLiteral("none");
    const QString keys = !m_keysName.isEmpty() ? m_keysName
                         : xtest               ? QStringLiteral("XTest") + throughXWayland
                                               : none;
    // GNOME passes the XWayland clipboard on to native applications, without data control.
    const QString clipboard =
        !m_clipboardName.isEmpty() ? m_clipboardName
        : m_session.desktop == DesktopSession::Desktop::gnome && xwayland
            ? QStringLiteral("X11 selections through XWayland, which GNOME passes on")
        : xtest ? QStringLiteral("X11 selections") + throughXWayland
                : none;
    Log::app().info(
        QStringLiteral("session %1 — shortcut: %2, double tap: %3, capture: %4, paste: %5, "
                       "clipboard: %6, interface: %7")
            .arg(m_session.describe(), shortcut,
                 x11 ? QStringLiteral("XInput") : QStringLiteral("none (X11 sessions only)"),
                 m_keys ? QStringLiteral("AT-SPI, then copy with ") + keys : none, keys, clipboard,
                 interface));
}
