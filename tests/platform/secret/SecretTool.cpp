// SPDX-License-Identifier: MIT
#include "platform/secret/SecretTool.h"

#include <QProcess>

namespace SecretTool {

namespace {

struct Outcome {
    bool ok = false;
    QByteArray out;
};

Outcome run(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"), arguments);
    if (!tool.waitForStarted(10000))
        return {};
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    const bool ok = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return {ok, tool.readAllStandardOutput()};
}

QStringList attributes(const QString& service, const QString& account)
{
    return {QStringLiteral("service"), service, QStringLiteral("account"), account};
}

} // namespace

bool store(const QString& label, const QString& service, const QString& account,
           const QByteArray& secret)
{
    return run(QStringList{QStringLiteral("store"), QStringLiteral("--label=") + label} +
                   attributes(service, account),
               secret)
        .ok;
}

std::optional<QByteArray> lookup(const QString& service, const QString& account)
{
    const Outcome outcome =
        run(QStringList{QStringLiteral("lookup")} + attributes(service, account));
    if (!outcome.ok)
        return std::nullopt;
    return outcome.out;
}

QStringList labels(const QString& service, const QString& account)
{
    const Outcome outcome = run(QStringList{QStringLiteral("search"), QStringLiteral("--all")} +
                                attributes(service, account));
    QStringList found;
    for (const QByteArray& line : outcome.out.split('\n')) {
        if (line.startsWith("label = "))
            found.append(QString::fromUtf8(line.mid(8)));
    }
    return found;
}

void clear(const QString& service, const QString& account)
{
    run(QStringList{QStringLiteral("clear")} + attributes(service, account));
}

} // namespace SecretTool
