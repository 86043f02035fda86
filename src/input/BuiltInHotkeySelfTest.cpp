// SPDX-License-Identifier: MIT
#include "input/BuiltInHotkeySelfTest.h"

#include "core/Log.h"
#include "input/DoubleTapScript.h"
#include "input/HotkeyRegistrar.h"
#include "settings/Preferences.h"

#include <array>

namespace {

// The rules of the desktop: a global shortcut needs at least two of Ctrl, Alt and Super, so
// Alt+Space (the window menu) and Ctrl+F13 are refused, and beyond the panel's own Alt+1 to
// Alt+4 a digit is as good as any key.
struct ValidationRow {
    const char* name;
    HotkeyShortcut shortcut;
    bool accepted;
};

// clang-format off
constexpr std::array<ValidationRow, 13> validationRows{{
    {"bare-letter",    {17, 0},      false},
    {"shift-letter",   {17, 0x200},  false},
    {"cmd-only",       {17, 0x100},  false},
    {"cmd-q",          {12, 0x100},  false},
    {"shift-cmd",      {17, 0x300},  false},
    {"bare-escape",    {53, 0},      false},
    {"opt-1-reserved", {18, 0x800},  false},
    {"opt-4-reserved", {21, 0x800},  false},
    {"opt-cmd-t",      {17, 0x900},  true},
    {"ctrl-opt-space", {49, 0x1800}, true},
    {"opt-space",      {49, 0x800},  false},
    {"ctrl-f13",       {105, 0x1000}, false},
    {"opt-5-allowed",  {23, 0x900},  true},
}};

struct LegacyRow {
    const char* id;
    HotkeyShortcut expected;
};

constexpr std::array<LegacyRow, 4> legacyRows{{
    {"opt-cmd-t",      {17, 0x900}},
    {"ctrl-opt-t",     {17, 0x1800}},
    {"opt-cmd-g",      {5, 0x900}},
    {"ctrl-opt-space", {49, 0x1800}},
}};
// clang-format on

// ⌃⌥F13: a combination nobody is likely to use, so taking it for a moment disturbs nothing.
constexpr HotkeyShortcut contested{105, 0x1800};

// The double-tap scripts start at a fixed time well away from zero, 1,000,000 s.
constexpr DoubleTapDetector::Timestamp scriptStart = std::chrono::seconds(1'000'000);

QString display(const std::optional<HotkeyShortcut>& shortcut, KeyCharacters& layout)
{
    return shortcut ? shortcut->displayString(layout) : QStringLiteral("none");
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

BuiltInHotkeySelfTest::BuiltInHotkeySelfTest(GrabberFactory makeDecoyGrabber, KeyCharacters& layout,
                                             const Preferences& preferences)
    : m_makeDecoyGrabber(std::move(makeDecoyGrabber))
    , m_layout(layout)
    , m_preferences(preferences)
{}

void BuiltInHotkeySelfTest::runIfRequested(HotkeyRegistrar& registrar)
{
    if (!m_preferences.flag(DefaultsKey::hotkeySelfTest))
        return;
    Log::hotkey().info(QStringLiteral("selftest start"));
    m_failures = 0;
    runMigrationChecks();
    runValidationChecks();
    runDoubleTapChecks();
    runConflictChecks(registrar);
    Log::hotkey().info(
        QStringLiteral("selftest done — %1 failure(s)").arg(QString::number(m_failures)));
}

void BuiltInHotkeySelfTest::runMigrationChecks()
{
    for (const LegacyRow& row : legacyRows) {
        const QString id = QString::fromUtf8(row.id);
        const std::optional<HotkeyShortcut> obtained = HotkeyShortcut::legacyPreset(id);
        check(QStringLiteral("migrate/") + id, obtained == row.expected,
              QStringLiteral("%1 (want %2)")
                  .arg(display(obtained, m_layout), row.expected.displayString(m_layout)));
    }
    check(QStringLiteral("migrate/unknown-id"),
          !HotkeyShortcut::legacyPreset(QStringLiteral("nonsense")), QString());
    check(QStringLiteral("migrate/resolved"), true,
          QStringLiteral("Preferences.hotkeyShortcut = ") +
              m_preferences.hotkeyShortcut().displayString(m_layout));
}

void BuiltInHotkeySelfTest::runValidationChecks()
{
    for (const ValidationRow& row : validationRows) {
        const std::optional<HotkeyShortcut::Rejection> rejection = row.shortcut.rejection(m_layout);
        const QString verdict =
            rejection ? QStringLiteral("refused: ") + rejection->message().left(40) + u'…'
                      : QStringLiteral("accepted");
        check(QStringLiteral("validate/") + QString::fromUtf8(row.name), !rejection == row.accepted,
              QStringLiteral("%1 → %2").arg(row.shortcut.displayString(m_layout), verdict));
    }
}

void BuiltInHotkeySelfTest::runDoubleTapChecks()
{
    for (const DoubleTapScript& script : DoubleTapScript::selfTestScripts())
        check(script.name, script.countFires(scriptStart) == script.expectedFires,
              script.expectation);
}

void BuiltInHotkeySelfTest::runConflictChecks(HotkeyRegistrar& registrar)
{
    const QString contestedName = contested.displayString(m_layout);
    const std::optional<HotkeyShortcut> previous = registrar.current();

    // The rival takes the combination first, as another application that holds it would.
    const std::unique_ptr<GlobalKeyGrabber> decoy = m_makeDecoyGrabber();
    const GlobalKeyGrabber::Grab taken = decoy->grab(decoyId, contested);
    if (taken.status != GlobalKeyGrabber::ok || taken.handle == 0) {
        check(QStringLiteral("conflict/decoy"), false,
              QStringLiteral("could not take %1 (status %2)")
                  .arg(contestedName, QString::number(taken.status)));
        return;
    }
    check(QStringLiteral("conflict/decoy"), true,
          QStringLiteral("%1 taken by another client").arg(contestedName));

    const bool accepted = registrar.registerShortcut(contested);
    check(QStringLiteral("conflict/refused"), !accepted,
          QStringLiteral("register(%1) returned %2").arg(contestedName, boolText(accepted)));
    check(QStringLiteral("conflict/previous-kept"), registrar.current() == previous,
          QStringLiteral("current = %1 (was %2)")
              .arg(display(registrar.current(), m_layout), display(previous, m_layout)));

    decoy->release(taken.handle);
    const bool acceptedOnceFree = registrar.registerShortcut(contested);
    check(
        QStringLiteral("conflict/succeeds-once-free"), acceptedOnceFree,
        QStringLiteral("register(%1) returned %2").arg(contestedName, boolText(acceptedOnceFree)));

    // Whatever the outcome above, the user's shortcut is put back; the check says whether
    // that worked.
    if (previous)
        (void)registrar.registerShortcut(*previous);
    check(QStringLiteral("conflict/restored"), registrar.current() == previous,
          QStringLiteral("current = %1").arg(display(registrar.current(), m_layout)));
}

void BuiltInHotkeySelfTest::check(const QString& name, bool passed, const QString& detail)
{
    if (passed) {
        Log::hotkey().info(QStringLiteral("selftest PASS %1 %2").arg(name, detail));
        return;
    }
    ++m_failures;
    Log::hotkey().error(QStringLiteral("selftest FAIL %1 %2").arg(name, detail));
}
