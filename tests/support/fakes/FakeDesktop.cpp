// SPDX-License-Identifier: MIT
#include "support/fakes/FakeDesktop.h"

namespace {

// A fake the delegate will own, with a pointer kept for the test.
template <class Fake, class... Args> std::unique_ptr<Fake> keep(Fake*& pointer, Args&... args)
{
    auto made = std::make_unique<Fake>(args...);
    pointer = made.get();
    return made;
}

} // namespace

FakeDesktop::FakeDesktop(KeyCharacters& layout)
    : m_layout(layout)
{
    m_services.applicationMover = keep(mover, journal);
    m_services.accessibility = keep(accessibility, journal);
    m_services.selection = keep(selection, journal);
    m_services.pasteBack = keep(pasteBack, journal);
    m_services.clipboard = keep(clipboard, journal);
    m_services.secureInput = keep(secureInput);
    m_services.runningApplications = keep(runningApplications);
    m_services.hotkeySelfTest = keep(hotkeySelfTest, journal);
}

FakeDesktop::~FakeDesktop() = default;

AppComponents FakeDesktop::components()
{
    Q_ASSERT(m_services.applicationMover);
    AppComponents components = std::move(m_services);
    components.makeDoubleTap = [this] { return keep(doubleTap, journal); };
    components.makeStatusItem = [this] { return keep(statusItem, journal); };
    components.makeUpdater = [this] { return keep(updates, journal); };
    components.makeWelcomeGuide = [this] { return keep(onboarding, journal); };
    components.makePopover = [this] { return keep(popover, journal); };
    components.makeHotkeyRegistrar = [this] {
        auto registrar = keep(hotkey, journal, m_layout);
        for (const HotkeyShortcut& shortcut : refusedShortcuts)
            registrar->refuse(shortcut);
        return registrar;
    };
    components.makeSettingsWindow = [this](DoubleTapTrigger& watcher) {
        return keep(settings, journal, watcher);
    };

    components.migrateLegacyKey = [this] {
        journal.record(QStringLiteral("keychain.migrateLegacyKeyIfNeeded"));
    };
    return components;
}
