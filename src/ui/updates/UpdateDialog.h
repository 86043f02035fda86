// SPDX-License-Identifier: MIT
#pragma once

#include "updates/UpdateUserDriver.h"

#include <QDialog>

class QPushButton;

// The window that offers one update: what is new, and the three answers. Closing it is
// the same as "Remind Me Later".
class UpdateDialog final : public QDialog {
    Q_OBJECT
public:
    UpdateDialog(const UpdateOffer& offer, const QString& currentVersion,
                 QWidget* parent = nullptr);

    QPushButton* installButton() const { return m_install; }
    QPushButton* skipButton() const { return m_skip; }
    QPushButton* laterButton() const { return m_later; }

Q_SIGNALS:
    // Emitted once, with the user's answer.
    void chosen(UpdateChoice choice);
    // The user brought the window to the front themselves.
    void attended();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void choose(UpdateChoice choice);

    QPushButton* m_install = nullptr;
    QPushButton* m_skip = nullptr;
    QPushButton* m_later = nullptr;
    bool m_answered = false;
};
