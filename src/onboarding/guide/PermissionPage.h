// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

// The guide's second page: what Quillmark needs from this desktop, what is missing and how
// to fix it, or, once it is there, that all is set. Under either, while the session's
// accessibility bus is off, a button that switches it on.
class PermissionPage : public QWidget {
    Q_OBJECT

public:
    // What the page says about the accessibility bus.
    enum class BusView {
        // On, or no bus service to ask: nothing to say.
        hidden,
        off,
        switchedOn,
        switchFailed,
    };

    explicit PermissionPage(QWidget* parent = nullptr);

    // Shows the state for the trust answer; the buttons call the functions given.
    void render(bool isTrusted, std::function<void()> onGrant, std::function<void()> onRelaunch);
    // Names what the desktop lacks ("XTEST", "XInputExtension", "X display"); an empty
    // list gives the general explanation.
    void renderCause(const QStringList& missing);
    void renderBus(BusView view, std::function<void()> onSwitchOn);

    bool isShowingGranted() const { return m_isTrusted; }
    QString causeText() const;
    // The bus line as shown, empty while hidden, and its button.
    QString busText() const;
    QPushButton& switchOnButton() const { return *m_switchOn; }

private:
    QWidget* m_missing;
    QWidget* m_granted;
    QLabel* m_cause;
    QWidget* m_bus;
    QLabel* m_busText;
    QPushButton* m_switchOn;
    bool m_isTrusted = false;
    std::function<void()> m_onGrant;
    std::function<void()> m_onRelaunch;
    std::function<void()> m_onSwitchOn;
};
