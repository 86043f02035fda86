// SPDX-License-Identifier: MIT
#pragma once

#include "ai/LocalServerProbe.h"

#include <QWidget>
#include <qcoro/qcorotask.h>

class Clock;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Preferences;
class SecretStore;

// The guide's third page: where the selected text goes. It looks for AI servers running on
// this computer and offers their models, or takes an OpenAI key into the keyring, or a
// relay's address. A pick is stored at once, as the settings' "AI service" section stores it.
class ConnectPage : public QWidget {
    Q_OBJECT

public:
    // The clock, the key store and the preferences are borrowed and must outlive the page.
    ConnectPage(Clock& clock, SecretStore& secrets, Preferences& preferences,
                QWidget* parent = nullptr);

    // The ports searched; the usual ones until set.
    void setCandidates(QList<LocalServerProbe::Candidate> candidates);
    // Looks for servers on this computer and offers those that answer; nothing while a
    // search is under way.
    QCoro::Task<> search();
    // Shows the service chosen now.
    void renderChoice();

    bool isSearching() const { return m_searching; }
    QString searchText() const;
    QString choiceText() const;
    QComboBox& serverPicker() const { return *m_servers; }
    QPushButton& useServerButton() const { return *m_useServer; }
    QLineEdit& keyField() const { return *m_key; }
    QPushButton& saveKeyButton() const { return *m_saveKey; }
    QLineEdit& relayField() const { return *m_relay; }
    QPushButton& useRelayButton() const { return *m_useRelay; }

private:
    void useServer();
    void saveKey();
    void useRelay();

    Clock& m_clock;
    SecretStore& m_secrets;
    Preferences& m_preferences;
    QList<LocalServerProbe::Candidate> m_candidates = LocalServerProbe::usualPorts();
    bool m_searching = false;
    QLabel* m_searchText;
    QWidget* m_found;
    QComboBox* m_servers;
    QPushButton* m_useServer;
    QPushButton* m_lookAgain;
    QLineEdit* m_key;
    QPushButton* m_saveKey;
    QLineEdit* m_relay;
    QPushButton* m_useRelay;
    QLabel* m_choice;
};
