// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

// The user's own OpenAI key in the desktop keyring, and the one-time copy of a key left
// by the application's former identity. Stateless; every call goes through the secret
// store installed in Platform. No call throws: reads fold every failure into "no key",
// writes and removals answer whether they worked.
namespace KeychainHelper {

inline constexpr const char* service = "com.veltra.quillmark";
// The application's former identity; its item is read once and never changed.
inline constexpr const char* legacyService = "com.veltra.brambly";
inline constexpr const char* openAIAccount = "openai_api_key";

// The stored value as text; nothing when there is no item, the store does not answer or
// the bytes are not valid UTF-8. An empty text can come back; callers treat it as no key.
std::optional<QString> read(const QString& service, const QString& account);

// Creates or replaces the item under the current service.
[[nodiscard]] bool write(const QString& account, const QString& value);

// Removes the item under the current service; removing a missing item succeeds.
[[nodiscard]] bool remove(const QString& account);

// The user's OpenAI key under the current service; nothing when there is none or it is empty.
std::optional<QString> openAIKey();

// Stores `typed`, trimmed of white space, as the user's OpenAI key, or removes the key when
// nothing is left.
[[nodiscard]] bool saveOpenAIKey(const QString& typed);

// Copies a key stored under the former identity once per installation, unless a current
// key exists. Reading the old item may wait for the user to answer the keyring.
void migrateLegacyKeyIfNeeded();

} // namespace KeychainHelper
