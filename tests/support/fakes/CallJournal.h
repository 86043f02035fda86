// SPDX-License-Identifier: MIT
#pragma once

#include <QMutex>
#include <QStringList>

// One ordered list of what the recording fakes were asked to do ("popover.show",
// "hotkey.register(⌥⌘T)"), shared by all of them so a test can check the order of calls
// across components. Safe to record into from any thread.
class CallJournal {
public:
    CallJournal() = default;
    CallJournal(const CallJournal&) = delete;
    CallJournal& operator=(const CallJournal&) = delete;

    void record(const QString& entry);
    QStringList entries() const;
    // The entries that start with this prefix, e.g. "popover.".
    QStringList entriesStartingWith(const QString& prefix) const;
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_entries;
};
