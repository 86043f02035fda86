// SPDX-License-Identifier: MIT
#include "DesktopSession.h"

#include <QCursor>
#include <QRegularExpression>
#include <QTest>

namespace DesktopSession {

std::optional<QString> xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool waitUntil(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 10000);
}

bool movePointer(QPoint point)
{
    // Without --sync: xdotool would wait forever for a motion when the pointer is already
    // there.
    return xdotool({QStringLiteral("mousemove"), QString::number(point.x()),
                    QString::number(point.y())}) &&
           waitUntil([point] { return QCursor::pos() == point; });
}

bool click(int button)
{
    return xdotool({QStringLiteral("click"), QString::number(button)}).has_value();
}

quint64 activeWindow()
{
    const auto output = xdotool({QStringLiteral("getactivewindow")});
    return output ? output->toULongLong() : 0;
}

std::optional<QRect> windowGeometry(quint64 window)
{
    const auto output = xdotool(
        {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)});
    if (!output)
        return std::nullopt;
    QMap<QString, int> values;
    static const QRegularExpression line(QStringLiteral("^(\\w+)=(-?\\d+)$"),
                                         QRegularExpression::MultilineOption);
    for (auto match = line.globalMatch(*output); match.hasNext();) {
        const auto found = match.next();
        values.insert(found.captured(1), found.captured(2).toInt());
    }
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

Mousepad::Mousepad()
{
    m_process.start(QStringLiteral("mousepad"), {QStringLiteral("--disable-server")});
    if (!m_process.waitForStarted(10000))
        return;
    const auto found = xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                                QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                QString::number(m_process.processId())});
    if (found)
        m_window = found->split(QLatin1Char('\n')).first().toULongLong();
}

Mousepad::~Mousepad()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

bool Mousepad::placeAndActivate(QRect geometry)
{
    const QString id = QString::number(m_window);
    return m_window != 0 &&
           xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), id,
                    QString::number(geometry.width()), QString::number(geometry.height())}) &&
           xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), id,
                    QString::number(geometry.x()), QString::number(geometry.y())}) &&
           xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id}) &&
           waitUntil([this] { return activeWindow() == m_window; });
}

} // namespace DesktopSession
