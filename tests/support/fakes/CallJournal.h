// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

#include <QMutex>
#include <QRegularExpression>
#include <QStringList>

// Test code reads better with u"..."_s.
using namespace Qt::StringLiterals;

// One ordered list of what the recording fakes were asked to do ("popover.show",
// "hotkey.register(⌥⌘T)"), shared by all of them so a test can check the order of calls
// across components. Safe to record into from any thread. Given a clock, every entry ends
// with "@" and the monotonic time in milliseconds since the journal was last cleared:
// "keys.post(Ctrl+C)@40".
class CallJournal {
public:
    explicit CallJournal(const Clock* stamp = nullptr)
        : m_stamp(stamp)
    {}
    CallJournal(const CallJournal&) = delete;
    CallJournal& operator=(const CallJournal&) = delete;

    void record(const QString& entry)
    {
        QMutexLocker lock(&m_mutex);
        m_entries.append(m_stamp ? entry + u'@' + QString::number((now() - m_origin).count())
                                 : entry);
    }
    QStringList entries() const
    {
        QMutexLocker lock(&m_mutex);
        return m_entries;
    }
    // The entries that start with this prefix, e.g. "popover.".
    QStringList entriesStartingWith(const QString& prefix) const
    {
        return entries().filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_entries.clear();
        m_origin = now();
    }

private:
    std::chrono::milliseconds now() const
    {
        return m_stamp ? m_stamp->monotonicNow() : std::chrono::milliseconds(0);
    }

    const Clock* m_stamp;
    mutable QMutex m_mutex;
    QStringList m_entries;
    std::chrono::milliseconds m_origin{0};
};
