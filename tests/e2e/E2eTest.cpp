// SPDX-License-Identifier: MIT
#include "E2eTest.h"

#include <QDBusConnection>
#include <optional>

using namespace Qt::StringLiterals;
using ::testing::AssertionFailure;
using ::testing::AssertionSuccess;

// Ends the helper with the step's failure, if it failed.
#define STEP(step)                                                                                 \
    if (AssertionResult result = (step); !result)                                                  \
    return result

const QString TraySession::sentence = u"this sentance have two mistake"_s;
const QString TraySession::corrected = u"This sentence has two mistakes."_s;
const ClipboardOwner::Types E2eTest::earlierClipboard = {
    {u"text/plain"_s, QByteArray("copied before the shortcut")},
    {u"application/x-quillmark-e2e"_s, QByteArray("second type")}};

TraySession::TraySession()
{
    m_relay.setReply(LoopbackServer::Reply::json(
        200,
        R"({"text":"This sentence has two mistakes.","usage":{"prompt_tokens":12,"completion_tokens":7}})"));
}

void TraySession::TearDown()
{
    const TrayProcess::Ending ending = m_tray.stop();
    EXPECT_TRUE(ending.clean) << "quillmark did not end cleanly on SIGTERM: "
                              << ending.description.toStdString() << "\n"
                              << m_tray.tail().toStdString();
}

QString TraySession::binary()
{
    // The binary the suite is pointed at, else this build as the e2e.Install test laid it out.
    const QString installed = qEnvironmentVariable("QUILLMARK_E2E_BINARY");
    return installed.isEmpty() ? QStringLiteral(QUILLMARK_INSTALL_PREFIX "/bin/quillmark")
                               : installed;
}

QString TraySession::quoted(QString text)
{
    return u'"' + text.left(200) + u'"';
}

AssertionResult TraySession::broke(const QString& step, const QString& seen)
{
    return AssertionFailure() << "step failed: " << step.toStdString() << "\n"
                              << seen.toStdString() << "\n--- end of the quillmark log ---\n"
                              << m_tray.tail().toStdString();
}

AssertionResult TraySession::runCommand(const QString& step, const QStringList& arguments,
                                        const QByteArray& input)
{
    const ToolResult result = runTool(binary(), arguments, input);
    if (result.exitCode != 0)
        return broke(step, u"quillmark %1 exited with %2: %3"_s.arg(
                               arguments.join(u' '), QString::number(result.exitCode),
                               QString::fromUtf8(result.error)));
    return AssertionSuccess();
}

AssertionResult TraySession::writeDefaults(const QList<std::array<QString, 3>>& defaults)
{
    for (const auto& [key, type, value] : defaults) {
        STEP(runCommand(u"setting %1 to %2"_s.arg(key, value),
                        {u"defaults"_s, u"write"_s, key, type, value}));
    }
    return AssertionSuccess();
}

QString TraySession::readDefault(const QString& key)
{
    return QString::fromUtf8(runTool(binary(), {u"defaults"_s, u"read"_s, key}).output.trimmed());
}

AssertionResult TraySession::launchTray()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QUILLMARK_LOG"_s, u"stderr"_s);
    if (!m_tray.start(binary(), environment))
        return broke(u"quillmark did not start"_s, binary());
    return AssertionSuccess();
}

AssertionResult TraySession::logShows(const QString& line, qsizetype from)
{
    if (!m_tray.waitForLine(line, from))
        return broke(u"no log line "_s + quoted(line), QString());
    return AssertionSuccess();
}

AssertionResult TraySession::logMatches(const QString& pattern, qsizetype from, QString* found)
{
    const std::optional<qsizetype> index = m_tray.waitForMatch(QRegularExpression(pattern), from);
    if (!index)
        return broke(u"no log line matching "_s + pattern, QString());
    if (found)
        *found = m_tray.lines().at(*index);
    return AssertionSuccess();
}

void E2eTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs the test desktop: scripts/test-session --x11 -- ctest -L e2e";
    ASSERT_TRUE(m_trayHost.start()) << "trayer did not take the system tray";
    // Fresh settings are a first run, whose welcome guide would open over the editor.
    ASSERT_TRUE(writeDefaults({{u"proxyBaseURL"_s, u"-string"_s, m_relay.baseURL()},
                               {u"hasSeenOnboarding"_s, u"-bool"_s, u"true"_s}}));
}

void E2eTest::TearDown()
{
    TraySession::TearDown();
    m_editor.stop();
    m_clipboard.stop();
    m_trayHost.stop();
    if (m_keyStored) {
        EXPECT_TRUE(runCommand(u"removing the stored key"_s, {u"key"_s, u"delete"_s}));
    }
    QStringList left;
    (void)waitUntil([&] { return (left = runningChildren()).isEmpty(); }, 5s);
    EXPECT_TRUE(left.isEmpty()) << "processes left behind: " << left.join(u", ").toStdString();
}

AssertionResult E2eTest::storeOwnKey(const QByteArray& key)
{
    // Through standard input: a key never goes on a command line.
    m_keyStored = true;
    return runCommand(u"storing the own key in the keyring"_s, {u"key"_s, u"set"_s}, key);
}

AssertionResult E2eTest::startTray()
{
    STEP(launchTray());
    STEP(logShows(u"info hotkey: registered ⌥⌘T"_s));
    if (!waitUntil([this] { return m_trayHost.holdsWindowOf(m_tray.pid()); }))
        return broke(u"the icon did not appear in the system tray"_s, QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::openEditorWithSelection(const QString& text, Selection selection)
{
    if (!m_editor.start(text))
        return broke(u"mousepad did not open a window with the text"_s, quoted(text));
    if (selection == Selection::all && !m_editor.selectAll(text))
        return broke(u"Ctrl+A in mousepad did not select the text"_s, quoted(text));
    if (selection == Selection::none && !m_editor.selectNothing())
        return broke(u"Ctrl+End in mousepad did not reach the editor"_s, QString());
    if (!m_clipboard.own(earlierClipboard) || !m_clipboard.differences().isEmpty())
        return broke(u"another application could not put its item on the clipboard"_s,
                     m_clipboard.differences().join(u'\n'));
    // The item is someone else's, but the keys must reach the editor.
    if (!m_editor.activate())
        return broke(u"mousepad did not come back to the front"_s, QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::press(const QString& keys)
{
    if (!xdotool(QStringList{u"key"_s, u"--clearmodifiers"_s} +
                 keys.split(u' ', Qt::SkipEmptyParts)))
        return broke(u"xdotool could not press %1"_s.arg(keys), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::openPanelOnSelection(const QString& text, const QString& route)
{
    const qsizetype from = m_tray.mark();
    // Read through the accessibility bus, the selection is in hand while the keys are still
    // held, as a person holds them; they come up at the end whatever happens.
    const bool whileHeld = route == u"ax"_s;
    struct KeysUp {
        ~KeysUp() { (void)xdotool({u"keyup"_s, u"alt+super+t"_s}); }
    };
    std::optional<KeysUp> held;
    if (whileHeld) {
        held.emplace();
        if (!xdotool({u"keydown"_s, u"alt+super+t"_s}))
            return broke(u"xdotool could not hold alt+super+t"_s, QString());
    } else {
        STEP(press(u"alt+super+t"_s));
    }
    STEP(logShows(u"info hotkey: hotkey fired"_s, from));
    // The capture ends in one line either way; a route other than the wanted one fails
    // here at once, naming the route taken.
    QString line;
    STEP(logMatches(uR"(info capture: (captured via \w+ \(\d+ chars\)|no selection captured))"_s,
                    from, &line));
    const QString wanted = uR"(info capture: captured via (?:%1) \(%2 chars\))"_s.arg(
        route, QString::number(text.size()));
    if (!QRegularExpression(QRegularExpression::anchoredPattern(wanted)).match(line).hasMatch())
        return broke(u"the selection was not captured via %1"_s.arg(route),
                     u"the capture said "_s + quoted(line));
    STEP(logMatches(uR"(info app: panel shown frame .*)"_s, from));
    STEP(panelShows(text));
    held.reset();
    return AssertionSuccess();
}

AssertionResult E2eTest::replaceCompleted(const QString& result, qsizetype from)
{
    STEP(logShows(u"info app: panel dismissed (replace)"_s, from));
    STEP(panelHidden(u"the panel stayed on screen after Replace"_s));
    // A selection read through the accessibility bus goes back through it, the clipboard
    // untouched; a copied one is pasted, and the clipboard put back after.
    QString route;
    STEP(logMatches(
        uR"(info replace: (posted ⌘V into|replaced via EditableText in) .*Mousepad( \(\d+ chars\))?)"_s,
        from, &route));
    if (route.contains(u"posted ⌘V"_s))
        STEP(logShows(u"info replace: clipboard restored"_s, from));
    STEP(clipboardIsEarlierItem(u"the clipboard's earlier contents were not back after Replace"_s));
    const QString text = m_editor.waitForText(result);
    if (text != result)
        return broke(u"the result did not replace the selection"_s,
                     u"mousepad text after Replace was %1, wanted %2 (window title %3)"_s.arg(
                         quoted(text), quoted(result), quoted(m_editor.title())));
    return AssertionSuccess();
}

AssertionResult E2eTest::panelShows(const QString& text)
{
    const AccessibilityProbe probe(m_tray.pid());
    QStringList shown;
    if (!waitUntil([&] { return (shown = probe.shownTexts()).contains(text); }, 10s))
        return broke(
            u"the panel did not show the text"_s,
            u"wanted %1; the panel shows: %2"_s.arg(quoted(text), quoted(shown.join(u" | "))));
    return AssertionSuccess();
}

AssertionResult E2eTest::clickOnPanel(const QString& name)
{
    const AccessibilityProbe probe(m_tray.pid());
    std::optional<QRect> where;
    if (!waitUntil([&] { return (where = probe.extentsOf(name)).has_value(); }, 10s))
        return broke(u"no %1 on the panel to click"_s.arg(quoted(name)),
                     u"the panel shows: "_s + quoted(probe.shownTexts().join(u" | ")));
    const QPoint middle = where->center();
    if (!xdotool({u"mousemove"_s, QString::number(middle.x()), QString::number(middle.y()),
                  u"click"_s, u"1"_s}))
        return broke(u"xdotool could not click %1"_s.arg(quoted(name)), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::panelHidden(const QString& step)
{
    QStringList panels;
    const auto none = [&] {
        panels = visibleWindowsOf(m_tray.pid()).filter(QRegularExpression(u"^\\S+ Quillmark$"_s));
        return panels.isEmpty();
    };
    if (!waitUntil(none, 10s))
        return broke(step, u"panel windows still on screen: "_s + panels.join(u", "));
    return AssertionSuccess();
}

AssertionResult E2eTest::clipboardIsEarlierItem(const QString& step)
{
    QStringList differences;
    if (!waitUntil([&] { return (differences = m_clipboard.differences()).isEmpty(); }, 5s))
        return broke(step, differences.join(u'\n'));
    return AssertionSuccess();
}
