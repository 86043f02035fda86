// SPDX-License-Identifier: MIT
#include "onboarding/guide/ConnectPage.h"

#include "ai/AIGateway.h"
#include "ai/HttpExchange.h"
#include "ai/KeychainHelper.h"
#include "onboarding/guide/GuideStyle.h"
#include "settings/Preferences.h"
#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

QPushButton* button(const QString& text, QWidget* parent)
{
    auto* made = new QPushButton(text, parent);
    made->setAutoDefault(false);
    return made;
}

// A field with its button beside it, as one row of the form.
QWidget* fieldRow(QWidget* field, QWidget* action, QWidget* parent)
{
    auto* line = new QWidget(parent);
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field, 1);
    row->addWidget(action);
    return line;
}

QString describe(const AIServiceChoice& choice, const QString& model)
{
    switch (choice.service.value_or(AIService::relay)) {
    case AIService::relay:
        return QStringLiteral("the relay service at %1").arg(choice.address);
    case AIService::openAI:
        return QStringLiteral("OpenAI with your key, model %1").arg(model);
    case AIService::compatible:
        return QStringLiteral("the server at %1, model %2").arg(choice.address, model);
    }
    return {};
}

} // namespace

ConnectPage::ConnectPage(Clock& clock, SecretStore& secrets, Preferences& preferences,
                         QWidget* parent)
    : QWidget(parent)
    , m_clock(clock)
    , m_secrets(secrets)
    , m_preferences(preferences)
    , m_searchText(GuideStyle::hint(QString(), this))
    , m_found(new QWidget(this))
    , m_servers(new QComboBox(m_found))
    , m_useServer(button(QStringLiteral("Use"), m_found))
    , m_lookAgain(GuideStyle::link(QStringLiteral("Look again"), this))
    , m_key(new QLineEdit(this))
    , m_saveKey(button(QStringLiteral("Save Key"), this))
    , m_relay(new QLineEdit(this))
    , m_useRelay(button(QStringLiteral("Use Relay"), this))
    , m_choice(GuideStyle::body(QString(), this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(GuideStyle::title(QStringLiteral("Connect an AI."), this));
    column->addWidget(GuideStyle::body(
        QStringLiteral("The text you select goes to the AI service you pick here, and nowhere "
                       "else. A server on this computer keeps it on this computer."),
        this));

    auto* form = new QFormLayout;
    form->setSpacing(8);
    auto* found = new QHBoxLayout(m_found);
    found->setContentsMargins(0, 0, 0, 0);
    m_servers->setAccessibleName(QStringLiteral("Model on this computer"));
    found->addWidget(m_servers, 1);
    found->addWidget(m_useServer);
    auto* local = new QVBoxLayout;
    local->setSpacing(4);
    local->addWidget(m_searchText);
    auto* pick = new QHBoxLayout;
    pick->addWidget(m_found, 1);
    pick->addStretch(0);
    pick->addWidget(m_lookAgain);
    local->addLayout(pick);
    form->addRow(QStringLiteral("This computer"), local);

    m_key->setEchoMode(QLineEdit::Password);
    m_key->setAccessibleName(QStringLiteral("OpenAI API key"));
    m_key->setPlaceholderText(QStringLiteral("sk-…"));
    form->addRow(QStringLiteral("OpenAI key"), fieldRow(m_key, m_saveKey, this));
    m_relay->setAccessibleName(QStringLiteral("Relay address"));
    m_relay->setPlaceholderText(QStringLiteral("https://relay.example.org"));
    form->addRow(QStringLiteral("Relay"), fieldRow(m_relay, m_useRelay, this));
    column->addLayout(form);
    column->addWidget(m_choice);
    column->addStretch(1);

    connect(m_useServer, &QPushButton::clicked, this, &ConnectPage::useServer);
    connect(m_lookAgain, &QPushButton::clicked, this, [this] { search(); });
    connect(m_saveKey, &QPushButton::clicked, this, &ConnectPage::saveKey);
    connect(m_useRelay, &QPushButton::clicked, this, &ConnectPage::useRelay);
    m_found->setVisible(false);
    renderChoice();
}

void ConnectPage::setCandidates(QList<LocalServerProbe::Candidate> candidates)
{
    m_candidates = std::move(candidates);
}

QCoro::Task<> ConnectPage::search()
{
    if (m_searching)
        co_return;
    const QPointer<ConnectPage> self(this);
    m_searching = true;
    m_lookAgain->setEnabled(false);
    m_searchText->setText(QStringLiteral("Looking for AI servers on this computer…"));
    const QList<LocalServerProbe::Server> servers =
        co_await LocalServerProbe::find(m_clock, m_candidates);
    if (!self)
        co_return;
    m_searching = false;
    m_lookAgain->setEnabled(true);
    m_servers->clear();
    QStringList names;
    for (const LocalServerProbe::Server& server : servers) {
        names.append(server.name);
        if (server.models.isEmpty())
            m_servers->addItem(server.name, QStringList{server.baseURL, QString()});
        for (const QString& model : server.models) {
            m_servers->addItem(QStringLiteral("%1 — %2").arg(model, server.name),
                               QStringList{server.baseURL, model});
        }
    }
    m_found->setVisible(!servers.isEmpty());
    m_searchText->setText(
        servers.isEmpty()
            ? QStringLiteral("No server answered. Start Ollama, llama.cpp, LM Studio or "
                             "vLLM, then look again.")
            : QStringLiteral("Running here: %1.").arg(names.join(QStringLiteral(", "))));
}

void ConnectPage::renderChoice()
{
    const AIServiceChoice choice = m_preferences.aiService();
    if (!choice.service)
        m_choice->setText(QStringLiteral("Nothing is connected yet."));
    else if (const std::optional<QString> missing =
                 AIGateway::missingSetup(m_preferences, m_secrets))
        m_choice->setText(*missing);
    else
        m_choice->setText(
            QStringLiteral("Connected: %1.").arg(describe(choice, m_preferences.model())));
}

QString ConnectPage::searchText() const
{
    return m_searchText->text();
}

QString ConnectPage::choiceText() const
{
    return m_choice->text();
}

void ConnectPage::useServer()
{
    const QStringList picked = m_servers->currentData().toStringList();
    if (picked.size() != 2)
        return;
    m_preferences.setAIService(AIService::compatible, picked[0]);
    if (!picked[1].isEmpty())
        m_preferences.setModel(picked[1]);
    renderChoice();
}

void ConnectPage::saveKey()
{
    if (m_key->text().trimmed().isEmpty())
        return;
    if (!KeychainHelper(m_secrets).saveOpenAIKey(m_key->text())) {
        m_choice->setText(QStringLiteral("The key could not be stored in your keyring."));
        return;
    }
    m_key->clear();
    m_preferences.setAIService(AIService::openAI, QString());
    renderChoice();
}

void ConnectPage::useRelay()
{
    const QString address = m_relay->text().trimmed();
    if (!HttpExchange::parseURL(address)) {
        m_choice->setText(QStringLiteral("Enter the relay's address, such as "
                                         "https://relay.example.org."));
        return;
    }
    m_preferences.setAIService(AIService::relay, address);
    renderChoice();
}
