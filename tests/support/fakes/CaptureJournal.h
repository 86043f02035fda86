// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Platform.h"

#include <QStringList>

// The ordered record that the capture fakes share, so a test sees the order of their
// calls and, after "@", the monotonic time of each in milliseconds: "keys.post(Ctrl+C)@40".
class CaptureJournal {
public:
    void record(const QString& entry)
    {
        m_entries.append(entry + u'@' + QString::number(Platform::clock().monotonicNow().count()));
    }
    QStringList entries() const { return m_entries; }
    void clear() { m_entries.clear(); }

private:
    QStringList m_entries;
};
