// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

// The guide's second page: why Quillmark needs the accessibility permission and where to
// switch it on, or, once it is there, that all is set.
class PermissionPage : public QWidget {
    Q_OBJECT

public:
    explicit PermissionPage(QWidget* parent = nullptr);

    // Shows the state for the trust answer; the buttons call the functions given.
    void render(bool isTrusted, std::function<void()> onGrant, std::function<void()> onRelaunch);

    bool isShowingGranted() const { return m_isTrusted; }

private:
    QWidget* m_missing;
    QWidget* m_granted;
    bool m_isTrusted = false;
    std::function<void()> m_onGrant;
    std::function<void()> m_onRelaunch;
};
