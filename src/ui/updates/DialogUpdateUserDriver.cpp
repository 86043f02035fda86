// SPDX-License-Identifier: MIT
#include "ui/updates/DialogUpdateUserDriver.h"

#include "core/AppIdentity.h"
#include "core/Callback.h"

#include <QMessageBox>

DialogUpdateUserDriver::DialogUpdateUserDriver(QString currentVersion)
    : m_currentVersion(std::move(currentVersion))
{
    m_notice.onActivated = [this] {
        invokeIfSet(onUserAttention);
        bringForward();
    };
}

DialogUpdateUserDriver::~DialogUpdateUserDriver()
{
    delete m_dialog.data();
}

void DialogUpdateUserDriver::activate()
{
    m_activateNext = true;
    bringForward();
}

void DialogUpdateUserDriver::bringForward()
{
    if (!m_dialog)
        return;
    m_dialog->setAttribute(Qt::WA_ShowWithoutActivating, false);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void DialogUpdateUserDriver::postNotice(const UpdateOffer& offer)
{
    const QString name = QString::fromUtf8(AppIdentity::name);
    m_notice.post(QStringLiteral("%1 %2 is available").arg(name, offer.displayVersion),
                  QStringLiteral("Click to see what is new and install it."));
}

void DialogUpdateUserDriver::clearNotice()
{
    m_notice.close();
}

void DialogUpdateUserDriver::showUpdateFound(const UpdateOffer& offer,
                                             std::function<void(UpdateChoice)> reply)
{
    delete m_dialog.data();
    m_dialog = new UpdateDialog(offer, m_currentVersion);
    QObject::connect(m_dialog, &UpdateDialog::chosen, m_dialog,
                     [reply = std::move(reply)](UpdateChoice choice) { reply(choice); });
    QObject::connect(m_dialog, &UpdateDialog::attended, m_dialog,
                     [this] { invokeIfSet(onUserAttention); });
    if (m_activateNext) {
        m_activateNext = false;
        bringForward();
        return;
    }
    m_dialog->setAttribute(Qt::WA_ShowWithoutActivating, true);
    m_dialog->show();
}

void DialogUpdateUserDriver::showMessage(const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromUtf8(AppIdentity::name),
                                title, QMessageBox::Ok);
    box->setInformativeText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->activateWindow();
}

void DialogUpdateUserDriver::dismiss()
{
    m_activateNext = false;
    if (m_dialog)
        m_dialog->deleteLater();
    m_dialog = nullptr;
}
