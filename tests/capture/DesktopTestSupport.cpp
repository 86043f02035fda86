// SPDX-License-Identifier: MIT
#include "DesktopTestSupport.h"

#include "settings/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdlib>
#include <xcb/xcb.h>

PasteboardSnapshot unusualClipboard()
{
    const QString html = QStringLiteral("<p>user's <b>rich</b> text</p>");
    QByteArray large(3 * 1024 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 % 251);
    PasteboardSnapshot::Item item;
    item.insert(QStringLiteral("text/html"),
                QByteArray("\xff\xfe", 2) +
                    QByteArray(reinterpret_cast<const char*>(html.utf16()), html.size() * 2));
    item.insert(QStringLiteral("UTF8_STRING"), QByteArray("ends in NUL\0", 12));
    item.insert(QStringLiteral("image/x-quillmark-large"), large);
    return PasteboardSnapshot{{item}};
}

void typeWithXdotool(const QStringList& arguments)
{
    EXPECT_TRUE(xdotool(arguments)) << "xdotool " << arguments.join(u' ').toStdString();
}

ChildProcess::~ChildProcess()
{
    stop();
}

bool ChildProcess::start(const QString& program, const QStringList& arguments)
{
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(program, arguments);
    return m_process->waitForStarted(5000);
}

void ChildProcess::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    m_process.reset();
}

bool ClipboardOwner::start(const QList<QPair<QString, QByteArray>>& types, bool onInput)
{
    QStringList arguments;
    if (onInput)
        arguments.append(QStringLiteral("--on-input"));
    int index = 0;
    for (const auto& [type, bytes] : types) {
        if (bytes == stalled) {
            arguments.append(type + QStringLiteral("=-stall"));
            continue;
        }
        const QString path = m_files.filePath(QString::number(index++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        arguments.append(type + u'=' + path);
    }
    return m_helper.start(QStringLiteral(CLIPBOARD_OWNER_PATH), arguments);
}

bool ClipboardOwner::waitForLine(const QByteArray& line)
{
    return waitUntil([&] {
        return m_helper.process()->canReadLine() &&
               m_helper.process()->readLine().trimmed() == line;
    });
}

bool ClipboardOwner::own(const QList<QPair<QString, QByteArray>>& types)
{
    return start(types, false) && waitForLine("owned");
}

bool ClipboardOwner::prepare(const QList<QPair<QString, QByteArray>>& types)
{
    return start(types, true) && waitForLine("ready");
}

QStringList ClipboardOwner::askedFor()
{
    QStringList types;
    QProcess* helper = m_helper.process();
    helper->waitForReadyRead(0);
    while (helper->canReadLine()) {
        const QByteArray line = helper->readLine().trimmed();
        if (line.startsWith("asked "))
            types.append(QString::fromUtf8(line.mid(6)));
    }
    return types;
}

void ClipboardOwner::take()
{
    m_helper.process()->write("take\n");
}

KeyboardGrab::KeyboardGrab()
    : m_connection(xcb_connect(nullptr, nullptr))
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    xcb_grab_keyboard_reply_t* reply =
        xcb_grab_keyboard_reply(m_connection,
                                xcb_grab_keyboard(m_connection, 0, root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    m_held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
}

KeyboardGrab::~KeyboardGrab()
{
    release();
    xcb_disconnect(m_connection);
}

void KeyboardGrab::release()
{
    if (!m_held)
        return;
    xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    m_held = false;
}

void DesktopTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs the test desktop: scripts/test-session --x11 -- <test>";
}

AtspiFocusedTextReader& DesktopTest::accessibility()
{
    // The AT-SPI library is set up once per process, as in the application.
    static AtspiFocusedTextReader reader;
    return reader;
}

std::optional<TargetApplication> DesktopTest::waitForActiveWindow(int64_t pid,
                                                                  const QString& wmClass)
{
    std::optional<TargetApplication> active;
    const bool found = waitUntil([&] {
        active = windows.frontmost();
        return active && active->pid == pid && (wmClass.isEmpty() || active->wmClass == wmClass);
    });
    EXPECT_TRUE(found) << "no active " << wmClass.toStdString() << " window of process " << pid;
    return found ? active : std::nullopt;
}

bool DesktopTest::selectUntil(const QStringList& keys, const TargetApplication& target,
                              const QString& expected)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        typeWithXdotool(QStringList{QStringLiteral("key")} + keys);
        if (waitUntil([&] { return accessibility().selectedText(target) == expected; }, 500ms))
            return true;
    }
    return false;
}

bool DesktopTest::ownClipboard(ClipboardOwner& owner,
                               const QList<QPair<QString, QByteArray>>& types)
{
    const int64_t before = pasteboard.changeCount();
    return owner.own(types) && waitUntil([&] { return pasteboard.changeCount() != before; });
}

std::optional<CapturedSelection> DesktopTest::runCapture()
{
    return QCoro::waitFor(capture.capture());
}

void DesktopTest::runPaste(const QString& text, std::optional<TargetApplication> target)
{
    QCoro::waitFor(replacer.paste(text, std::move(target)));
}

void DesktopTest::setDefault(const char* key, bool value)
{
    ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
}

bool Mousepad::start(const QString& text)
{
    QFile file(m_dir.filePath(QStringLiteral("notes.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return false;
    file.close();
    return m_process.start(QStringLiteral("mousepad"),
                           {QStringLiteral("--disable-server"), file.fileName()});
}
