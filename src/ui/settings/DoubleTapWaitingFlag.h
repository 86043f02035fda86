// SPDX-License-Identifier: MIT
#pragma once

#include "input/DoubleTapTrigger.h"

#include <QObject>
#include <QPointer>

// Whether the double-tap watcher is waiting for the accessibility permission before it can
// work. The desktop's watcher publishes this as the Qt property isWaitingForAccessibility
// with a change signal; the flag follows that property, and a watcher without it (the null
// one, a test's) never waits. Main thread only.
class DoubleTapWaitingFlag : public QObject {
    Q_OBJECT

public:
    // The watcher is borrowed and must outlive the flag.
    explicit DoubleTapWaitingFlag(DoubleTapTrigger& doubleTap, QObject* parent = nullptr);

    bool isWaiting() const;

signals:
    void changed();

private:
    QPointer<QObject> m_source;
    int m_property = -1;
};
