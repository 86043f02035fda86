// SPDX-License-Identifier: MIT
#include "support/fakes/FakeDesktop.h"

#include <QCoreApplication>
#include <QThread>

namespace {

// A fake the delegate will own, with a pointer kept for the test.
template <class Fake, class... Args> std::unique_ptr<Fake> keep(Fake*& pointer, Args&... args)
{
    auto made = std::make_unique<Fake>(args...);
    pointer = made.get();
    return made;
}

// The same, recording "NAME.create" first.
template <class Fake>
std::unique_ptr<Fake> create(Fake*& pointer, CallJournal& journal, const char* name)
{
    journal.record(QLatin1String(name) + u".create"_s);
    return keep(pointer, journal);
}

} // namespace

FakeDesktop::FakeDesktop(KeyCharacters& layout)
    : m_layout(layout)
{
    m_services.applicationMover = std::make_unique<FakeApplicationMover>(journal);
    m_services.accessibility = std::make_unique<FakeAccessibilityPermission>(journal);
    m_services.selection = keep(selection, journal);
    m_services.pasteBack = keep(pasteBack, journal);
    m_services.secureInput = keep(secureInput);
    m_services.runningApplications = std::make_unique<FakeRunningApplications>();
    m_services.hotkeySelfTest = std::make_unique<FakeHotkeySelfTest>(journal);
}

AppComponents FakeDesktop::components()
{
    AppComponents components = std::move(m_services);
    components.makeDoubleTap = [this] { return keep(doubleTap, journal); };
    components.makeStatusItem = [this] { return create(statusItem, journal, "statusItem"); };
    components.makeUpdater = [this] { return create(updates, journal, "updates"); };
    components.makeWelcomeGuide = [this] { return create(onboarding, journal, "onboarding"); };
    components.makePopover = [this] { return create(popover, journal, "popover"); };
    components.makeHotkeyRegistrar = [this] {
        auto registrar = keep(hotkey, journal, m_layout);
        registrar->refused = refusedShortcuts;
        return registrar;
    };
    components.makeSettingsWindow = [this](DoubleTapTrigger&) { return keep(settings, journal); };
    components.migrateLegacyKey = [this] {
        const bool blocking = QThread::currentThread() == QCoreApplication::instance()->thread();
        journal.record(u"keychain.migrateLegacyKeyIfNeeded"_s +
                       (blocking ? u" on the main thread"_s : QString()));
    };
    return components;
}
