// SPDX-License-Identifier: MIT
#include "support/fakes/CallJournal.h"

void CallJournal::record(const QString& entry)
{
    QMutexLocker lock(&m_mutex);
    m_entries.append(entry);
}

QStringList CallJournal::entries() const
{
    QMutexLocker lock(&m_mutex);
    return m_entries;
}

QStringList CallJournal::entriesStartingWith(const QString& prefix) const
{
    QMutexLocker lock(&m_mutex);
    QStringList matching;
    for (const QString& entry : m_entries) {
        if (entry.startsWith(prefix))
            matching.append(entry);
    }
    return matching;
}

void CallJournal::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}
