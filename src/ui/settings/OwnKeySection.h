// SPDX-License-Identifier: MIT
#pragma once

#include "ui/settings/FormSection.h"

#include <memory>

class ClockTimer;
class QLabel;
class QLineEdit;
class QPushButton;

// "Advanced — your own OpenAI key": the key, kept in the desktop keyring, and the model
// name. Shown only while the useOwnAPIKey default is set.
class OwnKeySection : public FormSection {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds savedConfirmation{2};

    explicit OwnKeySection(QWidget* parent = nullptr);
    ~OwnKeySection() override;

    // Stores the field's key trimmed of white space, or removes the stored key when
    // nothing is left, and confirms with "Saved ✓" for 2 seconds.
    void saveKey();
    // Reads the stored key and the model name; the section shows nothing before.
    void reload();

    // Spaces and tabs go, line breaks stay: the model name is stored as typed otherwise.
    static QString trimmedModel(const QString& typed);

    QLineEdit& keyField() const { return *m_key; }
    QLineEdit& modelField() const { return *m_model; }
    QPushButton& saveButton() const { return *m_save; }
    bool isKeySaved() const { return m_keySaved; }
    QString keyStatus() const;

private:
    void setKeySaved(bool saved);
    void refreshKeyStatus();

    QLineEdit* m_key;
    QPushButton* m_save;
    QLabel* m_saved;
    QLabel* m_status;
    QLineEdit* m_model;
    bool m_keySaved = false;
    std::unique_ptr<ClockTimer> m_savedTimer;
};
