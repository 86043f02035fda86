// SPDX-License-Identifier: MIT
#include "cli/KeyCommand.h"

#include "ai/KeychainHelper.h"
#include "settings/Credential.h"

#include <QStringDecoder>

namespace {

// The settings window's words for the two states.
constexpr QLatin1String keyStored("Key in your keyring");
constexpr QLatin1String noKeyStored("No key stored");

int removeKey(CliIO& io, const KeychainHelper& keychain)
{
    if (!keychain.remove(QString::fromLatin1(KeychainHelper::openAIAccount))) {
        io.err << "quillmark: could not remove the key from the keyring.\n";
        return ExitCode::failure;
    }
    io.out << noKeyStored << '\n';
    return ExitCode::success;
}

int setKey(CliIO& io, const KeychainHelper& keychain)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString key = QString(decoder.decode(io.readInput())).trimmed();
    if (decoder.hasError()) {
        io.err << "quillmark: the key on standard input is not valid UTF-8; nothing was stored.\n";
        return ExitCode::failure;
    }
    // An empty read is far more often a mistake (a missing file, a closed pipe) than a wish
    // to forget the key; `key delete` says that plainly.
    if (key.isEmpty()) {
        io.err << "quillmark: no key on standard input; the stored key was kept (use 'quillmark "
                  "key delete' to remove it).\n";
        return ExitCode::failure;
    }
    if (!Credential::isSendable(key)) {
        io.err << "quillmark: " << Credential::refusal(QStringLiteral("the key"))
               << "; nothing was stored.\n";
        return ExitCode::failure;
    }
    if (!keychain.write(QString::fromLatin1(KeychainHelper::openAIAccount), key)) {
        io.err << "quillmark: could not store the key in the keyring.\n";
        return ExitCode::failure;
    }
    io.out << keyStored << '\n';
    return ExitCode::success;
}

int showStatus(CliIO& io, const KeychainHelper& keychain)
{
    const std::optional<QString> key =
        keychain.read(QString::fromLatin1(KeychainHelper::service),
                      QString::fromLatin1(KeychainHelper::openAIAccount));
    io.out << (key && !key->isEmpty() ? keyStored : noKeyStored) << '\n';
    return ExitCode::success;
}

} // namespace

int keyCommand(const QStringList& arguments, CliIO& io, SecretStore& secrets)
{
    const KeychainHelper keychain(secrets);
    // Arguments are never echoed: someone may have typed the key where a word belongs.
    if (arguments.size() == 1) {
        const QString& command = arguments.first();
        if (command == QLatin1String("set"))
            return setKey(io, keychain);
        if (command == QLatin1String("delete"))
            return removeKey(io, keychain);
        if (command == QLatin1String("status"))
            return showStatus(io, keychain);
    }
    if (arguments.value(0) == QLatin1String("set")) {
        io.err << "quillmark: 'key set' reads the key from standard input and takes no "
                  "arguments; nothing was stored.\n";
        return ExitCode::usage;
    }
    io.err << "quillmark: usage: quillmark key set|delete|status (the key is read from "
              "standard input).\n";
    return ExitCode::usage;
}
