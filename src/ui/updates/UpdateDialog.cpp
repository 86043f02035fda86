// SPDX-License-Identifier: MIT
#include "ui/updates/UpdateDialog.h"

#include "core/AppIdentity.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

UpdateDialog::UpdateDialog(const UpdateOffer& offer, const QString& currentVersion, QWidget* parent)
    : QDialog(parent)
{
    const QString name = QString::fromUtf8(AppIdentity::name);
    setWindowTitle(QStringLiteral("Software Update"));
    setObjectName(QStringLiteral("updateDialog"));

    auto* heading = new QLabel(QStringLiteral("A new version of %1 is available!").arg(name));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* summary = new QLabel(
        QStringLiteral("%1 %2 is now available—you have %3. Would you like to download it now?")
            .arg(name, offer.displayVersion, currentVersion));
    summary->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(summary);
    if (!offer.releaseNotes.trimmed().isEmpty()) {
        layout->addWidget(new QLabel(QStringLiteral("Release Notes:")));
        auto* notes = new QTextBrowser;
        notes->setObjectName(QStringLiteral("releaseNotes"));
        // Links go to the browser; nothing in the notes is fetched from the network.
        notes->setOpenExternalLinks(true);
        if (Qt::mightBeRichText(offer.releaseNotes))
            notes->setHtml(offer.releaseNotes);
        else
            notes->setPlainText(offer.releaseNotes);
        notes->setMinimumSize(420, 180);
        layout->addWidget(notes, 1);
    }

    m_skip = new QPushButton(QStringLiteral("Skip This Version"));
    m_later = new QPushButton(QStringLiteral("Remind Me Later"));
    m_install = new QPushButton(QStringLiteral("Install Update"));
    m_install->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_skip);
    buttons->addStretch(1);
    buttons->addWidget(m_later);
    buttons->addWidget(m_install);
    layout->addLayout(buttons);

    connect(m_skip, &QPushButton::clicked, this, [this] { choose(UpdateChoice::skipThisVersion); });
    connect(m_later, &QPushButton::clicked, this, [this] { choose(UpdateChoice::remindLater); });
    connect(m_install, &QPushButton::clicked, this, [this] { choose(UpdateChoice::install); });
}

void UpdateDialog::choose(UpdateChoice choice)
{
    if (m_answered)
        return;
    m_answered = true;
    Q_EMIT chosen(choice);
    hide();
}

void UpdateDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Q_EMIT attended();
}

void UpdateDialog::closeEvent(QCloseEvent* event)
{
    choose(UpdateChoice::remindLater);
    QDialog::closeEvent(event);
}

void UpdateDialog::reject()
{
    choose(UpdateChoice::remindLater);
    QDialog::reject();
}
