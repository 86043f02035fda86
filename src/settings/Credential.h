// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

// Credentials (the own OpenAI key, "proxyToken", "deviceID") travel in HTTP headers, where a
// line break would end the header and start one the user never wrote. Such a value is
// refused where it enters (`quillmark key set`, `quillmark defaults write`) and again before
// anything is sent, so a hand-edited settings file cannot slip one through. Pure; any thread.
namespace Credential {

// True when the value holds no control character (C0, DEL, C1) and no Unicode line or
// paragraph separator.
bool isSendable(QStringView value);

// True for the settings keys whose values are sent as credentials: proxyToken, deviceID.
bool isCredentialKey(QStringView defaultsKey);

// "<what> contains a line break or another control character", for the messages that
// refuse such a value.
QString refusal(const QString& what);

} // namespace Credential
