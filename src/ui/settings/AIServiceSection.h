// SPDX-License-Identifier: MIT
#pragma once

#include "ai/AIGateway.h"
#include "ai/KeychainHelper.h"
#include "ui/settings/FormSection.h"

#include <chrono>
#include <memory>
#include <qcoro/qcorotask.h>

class Clock;
class ClockTimer;
class SecretStore;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "AI service": where actions go (the relay service, OpenAI, or another OpenAI-compatible
// server) and what each needs: the relay's address and optional access token, the OpenAI
// key kept in the desktop keyring, a compatible server's address with its optional key, and
// the model, picked from the server's own list or typed. "Test" sends one small action and
// shows the outcome with its round-trip time. Credentials are entered in password fields and
// never shown back. Every network exchange runs on the event loop, never blocking it.
class AIServiceSection : public FormSection {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds savedConfirmation{2};

    // The clock, the key store and the preferences are borrowed and must outlive the section.
    AIServiceSection(Clock& clock, SecretStore& secrets, Preferences& preferences,
                     QWidget* parent = nullptr);
    ~AIServiceSection() override;

    // Stores the key field's key trimmed of white space, or removes the stored key when
    // nothing is left, empties the field and confirms with "Saved ✓" for 2 seconds.
    void saveKey();
    void removeKey();
    // Stores the token field's token in the settings (refused with a line break or another
    // control character), or removes it when nothing is left.
    void saveToken();
    // Reads the choice, the addresses, the model and whether a key and a token are stored.
    // Reads the keyring only when the chosen service uses a key.
    void reload();

    // Asks the compatible server for its models and offers them in the model picker.
    QCoro::Task<> loadModels();
    // Sends one small Fix Grammar action to the chosen service and shows the outcome.
    QCoro::Task<> runTest();

    // Spaces and tabs go, line breaks stay: the model name is stored as typed otherwise.
    static QString trimmedModel(const QString& typed);

    QComboBox& servicePicker() const { return *m_service; }
    QLineEdit& relayAddressField() const { return *m_relayAddress; }
    QLineEdit& tokenField() const { return *m_token; }
    QLineEdit& serverAddressField() const { return *m_serverAddress; }
    QLineEdit& keyField() const { return *m_key; }
    QLineEdit& modelField() const;
    QComboBox& modelPicker() const { return *m_model; }
    QPushButton& saveButton() const { return *m_save; }
    QPushButton& testButton() const { return *m_test; }
    bool isKeySaved() const { return m_keySaved; }
    QString keyStatus() const;
    QString tokenStatus() const;
    QString outcome() const;

private:
    void choose(int index);
    void showService();
    void setKeySaved(bool saved);
    void refreshKeyStatus();
    void refreshTokenStatus();
    void setOutcome(const QString& text, bool failed);

    Clock& m_clock;
    Preferences& m_preferences;
    KeychainHelper m_keychain;
    AIGateway m_gateway;
    QComboBox* m_service;
    QWidget* m_relay;
    QLineEdit* m_relayAddress;
    QLineEdit* m_token;
    QLabel* m_tokenStatus;
    QWidget* m_server;
    QLineEdit* m_serverAddress;
    QWidget* m_keyBox;
    QLineEdit* m_key;
    QPushButton* m_save;
    QPushButton* m_remove;
    QLabel* m_saved;
    QLabel* m_status;
    QWidget* m_modelBox;
    QComboBox* m_model;
    QPushButton* m_loadModels;
    QPushButton* m_test;
    QLabel* m_outcome;
    bool m_keySaved = false;
    std::unique_ptr<ClockTimer> m_savedTimer;
};
