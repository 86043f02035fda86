// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>

// Makes this process the one Quillmark of the desktop session by owning the session-bus
// name, and answers `quillmark trigger` and a second start on the bus. Main thread only;
// the callbacks are called on the main thread.
class SingleInstance : public QObject {
    Q_OBJECT
    // Must match InstanceBus::interface.
    Q_CLASSINFO("D-Bus Interface", "com.veltra.quillmark.Application")

public:
    enum class Claim {
        // This process owns the name and answers on the bus.
        owned,
        // Another process owns the name: Quillmark is already running.
        alreadyRunning,
        // There is no usable session bus; this process runs, but alone and unreachable.
        noSessionBus,
    };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Asks the bus for the name without queueing for it, and exports the object.
    [[nodiscard]] Claim claim();

    // Asks the instance that owns the name to open its settings window, as a second start
    // from the application menu should; false when nobody answered within a second.
    static bool askRunningInstanceToOpenSettings();

    std::function<void()> onTrigger;
    std::function<void()> onOpenSettings;

public slots:
    // Called over the bus by `quillmark trigger`.
    Q_SCRIPTABLE void Trigger();
    // Called over the bus by a second start of the tray application.
    Q_SCRIPTABLE void OpenSettings();

private:
    bool m_owned = false;
};
