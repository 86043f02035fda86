// SPDX-License-Identifier: MIT
#include "support/Mousepad.h"

#include "support/DesktopTools.h"

#include <QFile>

Mousepad::~Mousepad()
{
    stop();
}

bool Mousepad::start(const QString& text)
{
    QFile file(m_dir.filePath(QStringLiteral("notes.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return false;
    file.close();
    m_process = std::make_unique<QProcess>();
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    // Without --disable-server a second test would hand its file to the first instance.
    m_process->start(QStringLiteral("mousepad"),
                     {QStringLiteral("--disable-server"), file.fileName()});
    if (!m_process->waitForStarted(5000))
        return false;
    const bool mapped = waitUntil([&] {
        for (const QString& window : visibleWindowsOf(m_process->processId())) {
            if (window.endsWith(QStringLiteral("Mousepad")))
                m_window = window.section(u' ', 0, 0);
        }
        return !m_window.isEmpty() || !isRunning();
    });
    return mapped && !m_window.isEmpty() && activate();
}

bool Mousepad::activate()
{
    const auto isActive = [&] {
        return runTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")})
                   .output.trimmed() == m_window.toUtf8();
    };
    if (isActive())
        return true;
    // The window manager may ignore one request while the window is still being mapped.
    for (int attempt = 0; attempt < 10; ++attempt) {
        (void)xdotool({QStringLiteral("windowactivate"), m_window});
        if (waitUntil(isActive, 1s))
            return true;
    }
    return false;
}

QString Mousepad::selectedText() const
{
    return QString::fromUtf8(
        selectionBytes(QStringLiteral("primary"), QStringLiteral("UTF8_STRING")));
}

bool Mousepad::selectAll(const QString& expected)
{
    return waitForText(expected) == expected;
}

bool Mousepad::selectNothing()
{
    return activate() && xdotool({QStringLiteral("key"), QStringLiteral("ctrl+End")});
}

QString Mousepad::waitForText(const QString& expected)
{
    QString last;
    // One press may arrive before the editor has its text laid out; pressing again does no
    // harm.
    (void)waitUntil(
        [&] {
            if (!activate() || !xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")}))
                return false;
            // The selection is taken by the editor a moment after the key press.
            (void)waitUntil([&] { return (last = selectedText()) == expected; }, 500ms);
            return last == expected;
        },
        10s);
    return last;
}

QString Mousepad::title() const
{
    return QString::fromUtf8(
        runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), m_window})
            .output.trimmed());
}

bool Mousepad::quit()
{
    return activate() && xdotool({QStringLiteral("key"), QStringLiteral("ctrl+q")}) &&
           waitUntil([&] { return !isRunning(); }, 10s);
}

void Mousepad::stop()
{
    if (isRunning()) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}
