// SPDX-License-Identifier: MIT
#include "ui/settings/AIServiceSection.h"

#include "ai/AIGateway.h"
#include "ai/KeychainHelper.h"
#include "core/BuildConfig.h"
#include "settings/Credential.h"
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

QLineEdit* passwordField(const QString& name)
{
    auto* field = new QLineEdit;
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(name);
    field->setMinimumWidth(200);
    return field;
}

// A box of label–field rows that shows or hides as one.
QFormLayout* formBox(QWidget* box)
{
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    return form;
}

QWidget* buttonRow(std::initializer_list<QWidget*> widgets)
{
    auto* line = new QWidget;
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return line;
}

} // namespace

AIServiceSection::AIServiceSection(Clock& clock, SecretStore& secrets, Preferences& preferences,
                                   QWidget* parent)
    : FormSection(QStringLiteral("AI service"), parent)
    , m_clock(clock)
    , m_preferences(preferences)
    , m_keychain(secrets)
    , m_gateway(clock, secrets, preferences)
    , m_service(new QComboBox)
    , m_relay(new QWidget)
    , m_relayAddress(new QLineEdit)
    , m_token(passwordField(QStringLiteral("Access token")))
    , m_tokenStatus(new QLabel)
    , m_server(new QWidget)
    , m_serverAddress(new QLineEdit)
    , m_keyBox(new QWidget)
    , m_key(passwordField(QStringLiteral("API Key")))
    , m_save(new QPushButton(QStringLiteral("Save Key")))
    , m_remove(new QPushButton(QStringLiteral("Remove")))
    , m_saved(new QLabel(QStringLiteral("Saved ✓")))
    , m_status(new QLabel)
    , m_modelBox(new QWidget)
    , m_model(new QComboBox)
    , m_loadModels(new QPushButton(QStringLiteral("Load models")))
    , m_test(new QPushButton(QStringLiteral("Test")))
    , m_outcome(new QLabel)
{
    addWidget(FormLabels::caption(
        QStringLiteral("The text you select goes only to the service chosen here."),
        FormLabels::secondary(*this), this));

    m_service->setAccessibleName(QStringLiteral("Service"));
    m_service->addItem(QStringLiteral("Relay service"), rawValue(AIService::relay));
    m_service->addItem(QStringLiteral("OpenAI"), rawValue(AIService::openAI));
    m_service->addItem(QStringLiteral("OpenAI-compatible server"), rawValue(AIService::compatible));
    addRow(QStringLiteral("Service"), m_service);
    connect(m_service, &QComboBox::activated, this, &AIServiceSection::choose);

    // The relay: its address and an optional access token, kept in the private settings file.
    QFormLayout* relay = formBox(m_relay);
    m_relayAddress->setAccessibleName(QStringLiteral("Relay address"));
    m_relayAddress->setPlaceholderText(QStringLiteral("https://relay.example.org"));
    relay->addRow(QStringLiteral("Address"), m_relayAddress);
    connect(m_relayAddress, &QLineEdit::editingFinished, this, [this] {
        m_preferences.setString(DefaultsKey::proxyBaseURL, m_relayAddress->text().trimmed());
    });
    relay->addRow(QStringLiteral("Access token"), m_token);
    auto* saveToken = new QPushButton(QStringLiteral("Save Token"));
    saveToken->setAutoDefault(false);
    connect(saveToken, &QPushButton::clicked, this, &AIServiceSection::saveToken);
    m_tokenStatus->setFont(FormLabels::captionFont());
    relay->addRow(QString(), buttonRow({saveToken, m_tokenStatus}));
    addWidget(m_relay);

    QFormLayout* server = formBox(m_server);
    m_serverAddress->setAccessibleName(QStringLiteral("Server address"));
    m_serverAddress->setPlaceholderText(QStringLiteral("http://127.0.0.1:11434"));
    server->addRow(QStringLiteral("Address"), m_serverAddress);
    connect(m_serverAddress, &QLineEdit::editingFinished, this, [this] {
        m_preferences.setString(DefaultsKey::openAIBaseURL, m_serverAddress->text().trimmed());
    });
    addWidget(m_server);

    // The key, for OpenAI and (optionally) a compatible server: one keyring item.
    QFormLayout* key = formBox(m_keyBox);
    key->addRow(QStringLiteral("API Key"), m_key);
    m_save->setAutoDefault(false);
    m_remove->setAutoDefault(false);
    FormLabels::setColor(*m_saved, FormLabels::green(*this));
    m_saved->setVisible(false);
    m_status->setFont(FormLabels::captionFont());
    FormLabels::setColor(*m_status, FormLabels::secondary(*this));
    key->addRow(QString(), buttonRow({m_save, m_remove, m_saved}));
    key->addRow(QString(), m_status);
    connect(m_save, &QPushButton::clicked, this, &AIServiceSection::saveKey);
    connect(m_remove, &QPushButton::clicked, this, &AIServiceSection::removeKey);
    addWidget(m_keyBox);

    QFormLayout* model = formBox(m_modelBox);
    m_model->setEditable(true);
    m_model->setAccessibleName(QStringLiteral("Model"));
    m_model->setMinimumWidth(200);
    model->addRow(QStringLiteral("Model"), m_model);
    m_loadModels->setAutoDefault(false);
    model->addRow(QString(), buttonRow({m_loadModels}));
    connect(m_model, &QComboBox::editTextChanged, this,
            [this](const QString& typed) { m_preferences.setModel(trimmedModel(typed)); });
    connect(m_loadModels, &QPushButton::clicked, this, [this] { loadModels(); });
    addWidget(m_modelBox);

    m_test->setAutoDefault(false);
    m_outcome->setFont(FormLabels::captionFont());
    m_outcome->setWordWrap(true);
    addWidget(buttonRow({m_test}));
    addWidget(m_outcome);
    connect(m_test, &QPushButton::clicked, this, [this] { runTest(); });

    showService();
}

AIServiceSection::~AIServiceSection() = default;

QLineEdit& AIServiceSection::modelField() const
{
    return *m_model->lineEdit();
}

void AIServiceSection::reload()
{
    {
        // Showing what is stored is not a change by the user.
        const QSignalBlocker model(m_model);
        m_model->setEditText(m_preferences.model());
    }
    m_relayAddress->setText(m_preferences.string(DefaultsKey::proxyBaseURL).value_or(QString()));
    if (const QString built = QString::fromUtf8(BuildConfig::proxyBaseURL); !built.isEmpty())
        m_relayAddress->setPlaceholderText(built);
    const std::optional<QString> server = m_preferences.string(DefaultsKey::openAIBaseURL);
    m_serverAddress->setText(
        server && *server != QString::fromUtf8(BuildConfig::openAIBaseURL) ? *server : QString());
    refreshTokenStatus();
    showService();
}

void AIServiceSection::choose(int index)
{
    if (const auto service = fromRawValue<AIService>(m_service->itemData(index).toString())) {
        m_preferences.setAIService(
            *service,
            (*service == AIService::relay ? m_relayAddress : m_serverAddress)->text().trimmed());
    }
    setOutcome({}, false);
    showService();
}

void AIServiceSection::showService()
{
    const AIServiceChoice choice = m_preferences.aiService();
    const AIService service = choice.service.value_or(AIService::relay);
    m_service->setCurrentIndex(m_service->findData(rawValue(service)));
    m_relay->setVisible(service == AIService::relay);
    m_server->setVisible(service == AIService::compatible);
    m_keyBox->setVisible(service != AIService::relay);
    m_modelBox->setVisible(service != AIService::relay);
    m_loadModels->setVisible(service == AIService::compatible);
    // The keyring is read only for a service that uses a key: the read may ask the user to
    // unlock it, which nobody on the relay should see.
    if (service != AIService::relay)
        refreshKeyStatus();
}

void AIServiceSection::saveKey()
{
    // The settings window shows no failure here: the status line below tells whether a
    // key is stored.
    (void)m_keychain.saveOpenAIKey(m_key->text());
    m_key->clear();
    setKeySaved(true);
    refreshKeyStatus();
    m_savedTimer = m_clock.startTimer(savedConfirmation, [this] { setKeySaved(false); });
}

void AIServiceSection::removeKey()
{
    (void)m_keychain.remove(QString::fromLatin1(KeychainHelper::openAIAccount));
    m_key->clear();
    refreshKeyStatus();
}

void AIServiceSection::saveToken()
{
    const QString token = m_token->text().trimmed();
    if (!Credential::isSendable(token)) {
        m_tokenStatus->setText(Credential::refusal(QStringLiteral("The token")));
        FormLabels::setColor(*m_tokenStatus, FormLabels::red(*this));
        return;
    }
    if (token.isEmpty())
        m_preferences.remove(DefaultsKey::proxyToken);
    else
        m_preferences.setString(DefaultsKey::proxyToken, token);
    m_token->clear();
    refreshTokenStatus();
}

QCoro::Task<> AIServiceSection::loadModels()
{
    const QPointer<AIServiceSection> self(this);
    m_loadModels->setEnabled(false);
    setOutcome(QStringLiteral("Asking the server for its models…"), false);
    const auto result = co_await m_gateway.listModels(m_preferences.openAIBaseURL());
    if (!self)
        co_return;
    m_loadModels->setEnabled(true);
    if (const auto* error = std::get_if<ProxyError>(&result)) {
        setOutcome(error->message, true);
        co_return;
    }
    const QStringList& names = std::get<QStringList>(result);
    const QString current = m_model->currentText();
    {
        const QSignalBlocker blocker(m_model);
        m_model->clear();
        m_model->addItems(names);
        m_model->setEditText(current);
    }
    setOutcome(names.isEmpty() ? QStringLiteral("The server lists no models; type the name.")
                               : QStringLiteral("Models on the server: %1.").arg(names.size()),
               false);
}

QCoro::Task<> AIServiceSection::runTest()
{
    const QPointer<AIServiceSection> self(this);
    m_test->setEnabled(false);
    setOutcome(QStringLiteral("Testing…"), false);
    const auto started = m_clock.monotonicNow();
    const AIGateway::Result result = co_await m_gateway.perform(
        TextAction::fixGrammar(), QStringLiteral("This are a test."), Language::english());
    if (!self)
        co_return;
    const auto elapsed = m_clock.monotonicNow() - started;
    m_test->setEnabled(true);
    if (const auto* error = std::get_if<ProxyError>(&result)) {
        setOutcome(error->message, true);
        co_return;
    }
    setOutcome(QStringLiteral("It works: answered in %1 ms.").arg(elapsed.count()), false);
}

QString AIServiceSection::trimmedModel(const QString& typed)
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

QString AIServiceSection::keyStatus() const
{
    return m_status->text();
}

QString AIServiceSection::tokenStatus() const
{
    return m_tokenStatus->text();
}

QString AIServiceSection::outcome() const
{
    return m_outcome->text();
}

void AIServiceSection::setKeySaved(bool saved)
{
    m_keySaved = saved;
    m_saved->setVisible(saved);
}

void AIServiceSection::refreshKeyStatus()
{
    const bool openAI = m_preferences.aiService().service == AIService::openAI;
    m_status->setText(m_keychain.openAIKey().has_value() ? QStringLiteral("Key in your keyring")
                      : openAI                           ? QStringLiteral("No key stored")
                               : QStringLiteral("No key stored (optional for this server)"));
    m_remove->setEnabled(m_keychain.openAIKey().has_value());
}

void AIServiceSection::refreshTokenStatus()
{
    const auto token = m_preferences.string(DefaultsKey::proxyToken);
    m_tokenStatus->setText(token && !token->isEmpty() ? QStringLiteral("Token set")
                                                      : QStringLiteral("No token (optional)"));
    FormLabels::setColor(*m_tokenStatus, FormLabels::secondary(*this));
}

void AIServiceSection::setOutcome(const QString& text, bool failed)
{
    m_outcome->setText(text);
    FormLabels::setColor(*m_outcome,
                         failed ? FormLabels::red(*this) : FormLabels::secondary(*this));
}
