// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

using namespace std::chrono_literals;

// The tray application under test, logging to standard error. Its log is the test's view
// of what happened inside: every step of a panel cycle writes one line there.
class TrayProcess {
public:
    TrayProcess() = default;
    ~TrayProcess();
    TrayProcess(const TrayProcess&) = delete;
    TrayProcess& operator=(const TrayProcess&) = delete;

    [[nodiscard]] bool start(const QString& binary, const QProcessEnvironment& environment);
    bool isRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }
    int64_t pid() const { return m_process ? m_process->processId() : 0; }

    // The complete lines written so far; a position in this list marks a moment of the test.
    const QStringList& lines();
    qsizetype mark() { return lines().size(); }

    // Waits for the exact line at or after the position `from`; answers its position.
    std::optional<qsizetype> waitForLine(const QString& line, qsizetype from = 0,
                                         std::chrono::milliseconds timeout = 20s);
    // The same for a line matching the pattern as a whole.
    std::optional<qsizetype> waitForMatch(const QRegularExpression& pattern, qsizetype from = 0,
                                          std::chrono::milliseconds timeout = 20s);
    // How many lines from `from` on are exactly this one.
    qsizetype count(const QString& line, qsizetype from = 0);

    // The last lines, for failure messages.
    QString tail(int count = 30);

    struct Ending {
        bool clean = false;
        QString description;
    };
    // Asks the process to end (SIGTERM, as a logout does) and reaps it; it is killed when it
    // has not ended within the time. `clean` means it ended by itself with exit code 0.
    Ending stop(std::chrono::milliseconds patience = 20s);

private:
    // Waits until `find` answers a position, or the process has ended.
    std::optional<qsizetype> waitForIndex(const std::function<qsizetype()>& find,
                                          std::chrono::milliseconds timeout);

    std::unique_ptr<QProcess> m_process;
    QByteArray m_partial;
    QStringList m_lines;
};
