// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

class Preferences;
class SecretStore;

// The user's own OpenAI key in the desktop keyring, and the one-time copy of a key left
// by the application's former identity. Holds nothing but the borrowed secret store, which
// must outlive it. No call throws: reads fold every failure into "no key", writes and
// removals answer whether they worked.
class KeychainHelper {
public:
    static constexpr const char* service = "com.veltra.quillmark";
    // The application's former identity; its item is read once and never changed.
    static constexpr const char* legacyService = "com.veltra.brambly";
    static constexpr const char* openAIAccount = "openai_api_key";

    explicit KeychainHelper(SecretStore& store)
        : m_store(store)
    {}

    // The stored value as text; nothing when there is no item, the store does not answer or
    // the bytes are not valid UTF-8. An empty text can come back; callers treat it as no key.
    std::optional<QString> read(const QString& service, const QString& account) const;

    // Creates or replaces the item under the current service.
    [[nodiscard]] bool write(const QString& account, const QString& value) const;

    // Removes the item under the current service; removing a missing item succeeds.
    [[nodiscard]] bool remove(const QString& account) const;

    // The user's OpenAI key under the current service; nothing when there is none or it is
    // empty.
    std::optional<QString> openAIKey() const;

    // Stores `typed`, trimmed of white space, as the user's OpenAI key, or removes the key
    // when nothing is left.
    [[nodiscard]] bool saveOpenAIKey(const QString& typed) const;

    // Copies a key stored under the former identity once per installation, unless a current
    // key exists; `preferences` remember that it was tried. Reading the old item may wait for
    // the user to answer the keyring.
    void migrateLegacyKeyIfNeeded(Preferences& preferences) const;

private:
    SecretStore& m_store;
};
