// SPDX-License-Identifier: MIT
#pragma once

#include "ai/ProxyWire.h"
#include "core/Clock.h"

#include <QString>
#include <qcoro/qcorotask.h>
#include <variant>

class Preferences;

// The client of Quillmark's hosted AI service, the back-end used whenever the user has not
// switched to their own key. It sends the action's fields, never a prompt; every failure
// comes back as a ProxyError. Stateless; main thread.
namespace ProxyClient {

using Result = std::variant<ProxyWire::AIResult, ProxyError>;

// What a request says about this installation.
struct Installation {
    QString baseURL;
    QString deviceID;
    QString appVersion;
};

// The relay's address (Preferences::relayBaseURL()), the installation's deviceID and the
// product's version.
Installation currentInstallation(Preferences& preferences);

// One POST to base + "/ai" with the bearer credential.
QCoro::Task<Result> complete(Clock& clock, TextAction action, QString text, Language language,
                             QString credential, Installation installation);

} // namespace ProxyClient
