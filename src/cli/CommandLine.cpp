// SPDX-License-Identifier: MIT
#include "cli/CommandLine.h"

#include "cli/DefaultsCommand.h"
#include "cli/KeyCommand.h"
#include "cli/PreferencesCommand.h"
#include "cli/RunCommand.h"
#include "cli/TriggerCommand.h"
#include "core/AppIdentity.h"
#include "platform/KeyboardLayout.h"

namespace CommandLine {

bool startsTrayApplication(const QStringList& arguments)
{
    // A copy moved out of a mounted volume is started with --eject-volume VOLUME.
    return arguments.isEmpty() || arguments.first() == QLatin1String("--eject-volume");
}

QString helpText()
{
    return QStringLiteral(
        "Usage: quillmark [COMMAND]\n"
        "\n"
        "Without a command, starts Quillmark in the system tray.\n"
        "\n"
        "Commands:\n"
        "  trigger                          open or close the panel of the running Quillmark\n"
        "  run ACTION [--language ID] [TEXT]\n"
        "                                   run one action on TEXT or standard input and print\n"
        "                                   the result; ACTION is translate, fixGrammar,\n"
        "                                   improvePrompt, rewrite-TONE or custom:INSTRUCTION\n"
        "  preferences                      print the resolved settings\n"
        "  defaults read [KEY]              print the stored settings, or one of them\n"
        "  defaults write KEY [-string|-int|-bool|-array] VALUE...\n"
        "  defaults write KEY -stdin        store a string read from standard input (for\n"
        "                                   proxyToken, which must not be on a command line)\n"
        "  defaults delete KEY\n"
        "  key set                          store an OpenAI API key read from standard input\n"
        "  key delete                       remove the stored key\n"
        "  key status                       say whether a key is stored\n"
        "  --version                        print the version\n"
        "  --help                           print this text\n");
}

QCoro::Task<int> execute(QStringList arguments, CliIO& io, CommandPorts ports)
{
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);

    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        io.out << AppIdentity::name << ' ' << AppIdentity::version() << '\n';
        co_return ExitCode::success;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        io.out << helpText();
        co_return ExitCode::success;
    }
    if (command == QLatin1String("defaults"))
        co_return defaultsCommand(rest, io);
    if (command == QLatin1String("preferences"))
        co_return preferencesCommand(rest, io, ports.keyboardLayout, ports.clock,
                                     ports.preferences);
    if (command == QLatin1String("key"))
        co_return keyCommand(rest, io, ports.secrets);
    if (command == QLatin1String("run"))
        co_return co_await runCommand(rest, io, ports.clock, ports.secrets, ports.preferences);
    if (command == QLatin1String("trigger"))
        co_return co_await triggerCommand(rest, io);

    io.err << "quillmark: unknown command '" << command << "'. Try 'quillmark --help'.\n";
    co_return ExitCode::usage;
}

} // namespace CommandLine
