// SPDX-License-Identifier: MIT
#include "ui/settings/OwnKeySection.h"

#include "ai/KeychainHelper.h"
#include "platform/Platform.h"
#include "settings/Preferences.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString account()
{
    return QString::fromLatin1(KeychainHelper::openAIAccount);
}

std::optional<QString> storedKey()
{
    return KeychainHelper::read(QString::fromLatin1(KeychainHelper::service), account());
}

} // namespace

OwnKeySection::OwnKeySection(QWidget* parent)
    : FormSection(QStringLiteral("Advanced — your own OpenAI key"), parent)
    , m_key(new QLineEdit)
    , m_save(new QPushButton(QStringLiteral("Save Key")))
    , m_saved(new QLabel(QStringLiteral("Saved ✓")))
    , m_status(new QLabel)
    , m_model(new QLineEdit)
{
    addWidget(FormLabels::caption(
        QStringLiteral("Quillmark is sending requests straight to OpenAI with the key below "
                       "instead of through the hosted service. Remove the `useOwnAPIKey` "
                       "default to go back."),
        FormLabels::secondary(*this), this));

    m_key->setEchoMode(QLineEdit::Password);
    m_key->setAccessibleName(QStringLiteral("API Key"));
    m_key->setMinimumWidth(220);
    addRow(QStringLiteral("API Key"), m_key);

    auto* saveRow = new QWidget;
    auto* row = new QHBoxLayout(saveRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_save);
    FormLabels::setColor(*m_saved, FormLabels::green(*this));
    m_saved->setVisible(false);
    row->addWidget(m_saved);
    row->addStretch(1);
    m_status->setFont(FormLabels::captionFont());
    FormLabels::setColor(*m_status, FormLabels::secondary(*this));
    row->addWidget(m_status);
    addWidget(saveRow);
    connect(m_save, &QPushButton::clicked, this, &OwnKeySection::saveKey);

    m_model->setAccessibleName(QStringLiteral("Model"));
    m_model->setMinimumWidth(220);
    addRow(QStringLiteral("Model"), m_model);
    connect(m_model, &QLineEdit::textChanged, this,
            [](const QString& typed) { Preferences::setModel(trimmedModel(typed)); });
}

OwnKeySection::~OwnKeySection() = default;

void OwnKeySection::reload()
{
    m_key->setText(storedKey().value_or(QString()));
    {
        // Showing the stored name is not a change by the user.
        const QSignalBlocker blocker(m_model);
        m_model->setText(Preferences::model());
    }
    refreshKeyStatus();
}

void OwnKeySection::saveKey()
{
    const QString key = m_key->text().trimmed();
    // The settings window shows no failure here: the status line below tells whether a
    // key is stored.
    if (key.isEmpty())
        (void)KeychainHelper::remove(account());
    else
        (void)KeychainHelper::write(account(), key);
    setKeySaved(true);
    refreshKeyStatus();
    m_savedTimer = Platform::clock().startTimer(savedConfirmation, [this] { setKeySaved(false); });
}

QString OwnKeySection::trimmedModel(const QString& typed)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype start = 0;
    qsizetype end = typed.size();
    while (start < end && isBlank(typed[start]))
        ++start;
    while (end > start && isBlank(typed[end - 1]))
        --end;
    return typed.mid(start, end - start);
}

QString OwnKeySection::keyStatus() const
{
    return m_status->text();
}

void OwnKeySection::setKeySaved(bool saved)
{
    m_keySaved = saved;
    m_saved->setVisible(saved);
}

void OwnKeySection::refreshKeyStatus()
{
    const std::optional<QString> stored = storedKey();
    m_status->setText(stored && !stored->isEmpty() ? QStringLiteral("Key in your keyring")
                                                   : QStringLiteral("No key stored"));
}
