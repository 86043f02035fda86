// SPDX-License-Identifier: MIT
#include "platform/qt/MessageBoxAlertPresenter.h"

#include "core/AppIdentity.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

int MessageBoxAlertPresenter::runModal(const Alert& alert)
{
    // A command-line run has no widgets to show anything with.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || alert.buttons.isEmpty())
        return -1;

    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QString::fromUtf8(AppIdentity::name));
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < alert.buttons.size(); ++i) {
        const QMessageBox::ButtonRole role =
            i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        buttons.append(box.addButton(alert.buttons.at(i), role));
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.setEscapeButton(buttons.last());

    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}
