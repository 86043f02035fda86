// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityBus.h"

#include <QObject>

// The accessibility bus through its launcher on the session bus: the `IsEnabled` property
// of `org.a11y.Status` on `org.a11y.Bus`, read and written asynchronously. The service is
// not started for a read (an answer from a service that is not running means nothing);
// writing may start it, as switching it on should.
class DBusAccessibilityBus final : public QObject, public AccessibilityBus {
    Q_OBJECT

public:
    explicit DBusAccessibilityBus(QObject* parent = nullptr);

    void readState(std::function<void(State)> done) override;
    void switchOn(std::function<void(bool accepted)> done) override;
};
