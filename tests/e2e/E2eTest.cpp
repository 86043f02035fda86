// SPDX-License-Identifier: MIT
#include "E2eTest.h"

#include <QDBusConnection>
#include <QStandardPaths>

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

const QString E2eTest::sentence = QStringLiteral("this sentance have two mistake");
const QString E2eTest::corrected = QStringLiteral("This sentence has two mistakes.");
const QString E2eTest::anyRoute = QStringLiteral("ax|clipboard");
const ClipboardOwner::Types E2eTest::earlierClipboard = {
    {QStringLiteral("text/plain"), QByteArray("copied before the shortcut")},
    {QStringLiteral("application/x-quillmark-e2e"), QByteArray("second type")}};

QString E2eTest::binary()
{
    // The binary the suite is pointed at, else this build as the e2e.Install test laid it out.
    const QString installed = qEnvironmentVariable("QUILLMARK_E2E_BINARY");
    return installed.isEmpty() ? QStringLiteral(QUILLMARK_INSTALL_PREFIX "/bin/quillmark")
                               : installed;
}

QString E2eTest::quoted(QString text)
{
    if (text.size() > 200)
        text =
            text.left(100) + QStringLiteral("…(%1 characters)").arg(QString::number(text.size()));
    return u'"' + text + u'"';
}

void E2eTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs the test desktop: scripts/test-session --x11 -- ctest -L e2e";
    for (const char* tool : {"xdotool", "xclip", "mousepad"}) {
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            << tool << " is missing; scripts/setup-debian.sh installs what the tests need";
    }
    ASSERT_TRUE(m_trayHost.start()) << "trayer did not take the system tray";
    // A relay answer for every test that does not script its own.
    m_relay.setReply(LoopbackServer::Reply::json(
        200,
        R"({"text":"This sentence has two mistakes.","usage":{"prompt_tokens":12,"completion_tokens":7}})"));
    ASSERT_TRUE(
        writeDefault(QStringLiteral("proxyBaseURL"), QStringLiteral("-string"), m_relay.baseURL()));
    // Fresh settings are a first run, whose welcome guide would open over the editor.
    ASSERT_TRUE(writeDefault(QStringLiteral("hasSeenOnboarding"), QStringLiteral("-bool"),
                             QStringLiteral("true")));
}

void E2eTest::TearDown()
{
    const TrayProcess::Ending ending = m_tray.stop();
    EXPECT_TRUE(ending.clean) << "quillmark did not end cleanly on SIGTERM: "
                              << ending.description.toStdString() << "\n"
                              << m_tray.tail().toStdString();
    m_editor.stop();
    m_clipboard.stop();
    m_trayHost.stop();
    if (m_keyStored) {
        EXPECT_TRUE(runCommand(QStringLiteral("removing the stored key"),
                               {QStringLiteral("key"), QStringLiteral("delete")}));
    }
    QStringList left;
    (void)waitUntil([&] { return (left = runningChildren()).isEmpty(); }, 5s);
    EXPECT_TRUE(left.isEmpty()) << "processes left behind: " << left.join(u", ").toStdString();
}

AssertionResult E2eTest::broke(const QString& step, const QString& seen)
{
    return AssertionFailure() << "step failed: " << step.toStdString() << "\n"
                              << seen.toStdString() << "\n--- end of the quillmark log ---\n"
                              << m_tray.tail().toStdString();
}

AssertionResult E2eTest::runCommand(const QString& step, const QStringList& arguments,
                                    const QByteArray& input)
{
    const ToolResult result = runTool(binary(), arguments, input);
    if (result.exitCode != 0)
        return broke(step, QStringLiteral("quillmark %1 exited with %2: %3")
                               .arg(arguments.join(u' '), QString::number(result.exitCode),
                                    QString::fromUtf8(result.error)));
    return AssertionSuccess();
}

AssertionResult E2eTest::writeDefault(const QString& key, const QString& type, const QString& value)
{
    return runCommand(QStringLiteral("setting %1 to %2").arg(key, value),
                      {QStringLiteral("defaults"), QStringLiteral("write"), key, type, value});
}

QString E2eTest::readDefault(const QString& key)
{
    return QString::fromUtf8(
        runTool(binary(), {QStringLiteral("defaults"), QStringLiteral("read"), key})
            .output.trimmed());
}

AssertionResult E2eTest::storeOwnKey(const QByteArray& key)
{
    // Through standard input: a key never goes on a command line.
    m_keyStored = true;
    return runCommand(QStringLiteral("storing the own key in the keyring"),
                      {QStringLiteral("key"), QStringLiteral("set")}, key);
}

AssertionResult E2eTest::startTray()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUILLMARK_LOG"), QStringLiteral("stderr"));
    if (!m_tray.start(binary(), environment))
        return broke(QStringLiteral("quillmark did not start"), binary());
    if (AssertionResult registered =
            logShows(QStringLiteral("quillmark did not register its shortcut ⌥⌘T"),
                     QStringLiteral("info hotkey: registered ⌥⌘T"));
        !registered)
        return registered;
    if (!waitUntil([this] { return m_trayHost.holdsWindowOf(m_tray.pid()); }))
        return broke(QStringLiteral("the icon did not appear in the system tray"), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::openEditorWithSelection(const QString& text, Selection selection)
{
    if (!m_editor.start(text))
        return broke(QStringLiteral("mousepad did not open a window with the text"), quoted(text));
    if (selection == Selection::all && !m_editor.selectAll(text))
        return broke(QStringLiteral("Ctrl+A in mousepad did not select the text"), quoted(text));
    if (selection == Selection::none && !m_editor.selectNothing())
        return broke(QStringLiteral("Ctrl+End in mousepad did not reach the editor"), QString());
    if (!m_clipboard.own(earlierClipboard) || !m_clipboard.differences().isEmpty())
        return broke(QStringLiteral("another application could not put its item on the clipboard"),
                     m_clipboard.differences().join(u'\n'));
    // The item is someone else's, but the keys must reach the editor.
    if (!m_editor.activate())
        return broke(QStringLiteral("mousepad did not come back to the front"), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::press(const QString& keys)
{
    if (!xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} +
                 keys.split(u' ', Qt::SkipEmptyParts)))
        return broke(QStringLiteral("xdotool could not press %1").arg(keys), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::openPanelOnSelection(const QString& text, const QString& route)
{
    const qsizetype from = m_tray.mark();
    if (AssertionResult pressed = press(QStringLiteral("alt+super+t")); !pressed)
        return pressed;
    if (AssertionResult fired = logShows(QStringLiteral("the shortcut did not reach quillmark"),
                                         QStringLiteral("info hotkey: hotkey fired"), from);
        !fired)
        return fired;
    // The capture ends in one line either way; a route other than the wanted one fails
    // here at once, naming the route taken.
    std::optional<qsizetype> captured = m_tray.waitForMatch(
        QRegularExpression(QStringLiteral(
            R"(info capture: (captured via \w+ \(\d+ chars\)|no selection captured))")),
        from);
    if (!captured)
        return broke(QStringLiteral("the selection was not captured"),
                     QStringLiteral("no capture line after the shortcut"));
    const QString wanted = QStringLiteral(R"(info capture: captured via (?:%1) \(%2 chars\))")
                               .arg(route, QString::number(text.size()));
    const QString line = m_tray.lines().at(*captured);
    if (!QRegularExpression(QRegularExpression::anchoredPattern(wanted)).match(line).hasMatch())
        return broke(QStringLiteral("the selection was not captured via %1").arg(route),
                     QStringLiteral("the capture said ") + quoted(line));
    if (AssertionResult shown =
            logMatches(QStringLiteral("the panel was not shown"),
                       QStringLiteral(R"(info app: panel shown frame .*)"), from);
        !shown)
        return shown;
    return panelShows(QStringLiteral("the panel did not show the captured text"), text);
}

AssertionResult E2eTest::replaceCompleted(const QString& result, qsizetype from)
{
    if (AssertionResult step =
            logShows(QStringLiteral("the panel was not closed for Replace"),
                     QStringLiteral("info app: panel dismissed (replace)"), from);
        !step)
        return step;
    if (AssertionResult step =
            panelHidden(QStringLiteral("the panel stayed on screen after Replace"));
        !step)
        return step;
    // A selection read through the accessibility bus goes back through it, the clipboard
    // untouched; a copied one is pasted.
    const std::optional<qsizetype> route = m_tray.waitForMatch(
        QRegularExpression(QStringLiteral(
            R"(info replace: (posted ⌘V into|replaced via EditableText in) .*Mousepad( \(\d+ chars\))?)")),
        from);
    if (!route)
        return broke(QStringLiteral("the result was not put into mousepad"),
                     QStringLiteral("no log line naming the Replace route"));
    if (m_tray.lines().value(*route).contains(QStringLiteral("posted ⌘V")))
        if (AssertionResult step =
                logShows(QStringLiteral("the clipboard was not restored after the paste"),
                         QStringLiteral("info replace: clipboard restored"), from);
            !step)
            return step;
    if (AssertionResult step = clipboardIsEarlierItem(
            QStringLiteral("the clipboard's earlier contents were not back after Replace"));
        !step)
        return step;
    const QString text = m_editor.waitForText(result);
    if (text != result)
        return broke(
            QStringLiteral("the result did not replace the selection"),
            QStringLiteral("mousepad text after Replace was %1, wanted %2 (window title %3)")
                .arg(quoted(text), quoted(result), quoted(m_editor.title())));
    return AssertionSuccess();
}

AssertionResult E2eTest::logShows(const QString& step, const QString& line, qsizetype from,
                                  qsizetype* found)
{
    const std::optional<qsizetype> index = m_tray.waitForLine(line, from);
    if (!index)
        return broke(step, QStringLiteral("no log line ") + quoted(line));
    if (found)
        *found = *index;
    return AssertionSuccess();
}

AssertionResult E2eTest::logMatches(const QString& step, const QString& pattern, qsizetype from)
{
    if (!m_tray.waitForMatch(QRegularExpression(pattern), from))
        return broke(step, QStringLiteral("no log line matching ") + pattern);
    return AssertionSuccess();
}

AssertionResult E2eTest::panelShows(const QString& step, const QString& text)
{
    const AccessibilityProbe probe(m_tray.pid());
    QStringList shown;
    if (!waitUntil([&] { return (shown = probe.shownTexts()).contains(text); }, 10s))
        return broke(step, QStringLiteral("wanted %1; the panel shows: %2")
                               .arg(quoted(text), quoted(shown.join(QStringLiteral(" | ")))));
    return AssertionSuccess();
}

AssertionResult E2eTest::clickOnPanel(const QString& name)
{
    const AccessibilityProbe probe(m_tray.pid());
    std::optional<QRect> where;
    if (!waitUntil([&] { return (where = probe.extentsOf(name)).has_value(); }, 10s))
        return broke(QStringLiteral("no %1 on the panel to click").arg(quoted(name)),
                     QStringLiteral("the panel shows: ") +
                         quoted(probe.shownTexts().join(QStringLiteral(" | "))));
    const QPoint middle = where->center();
    if (!xdotool({QStringLiteral("mousemove"), QString::number(middle.x()),
                  QString::number(middle.y()), QStringLiteral("click"), QStringLiteral("1")}))
        return broke(QStringLiteral("xdotool could not click %1").arg(quoted(name)), QString());
    return AssertionSuccess();
}

AssertionResult E2eTest::panelHidden(const QString& step)
{
    QStringList panels;
    if (!waitUntil(
            [&] {
                panels.clear();
                for (const QString& window : visibleWindowsOf(m_tray.pid())) {
                    if (window.section(u' ', 1) == u"Quillmark")
                        panels.append(window);
                }
                return panels.isEmpty();
            },
            10s))
        return broke(step, QStringLiteral("panel windows still on screen: ") + panels.join(u", "));
    return AssertionSuccess();
}

AssertionResult E2eTest::clipboardIsEarlierItem(const QString& step)
{
    QStringList differences;
    if (!waitUntil([&] { return (differences = m_clipboard.differences()).isEmpty(); }, 5s))
        return broke(step, differences.join(u'\n'));
    return AssertionSuccess();
}
