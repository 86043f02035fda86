// SPDX-License-Identifier: MIT
// quillmark-relay: the service Quillmark's hosted back-end talks to. It holds the upstream
// key, issues tokens with monthly quotas and answers POST /ai.
#include "core/AppIdentity.h"
#include "core/SystemClock.h"
#include "relay/RelayCli.h"
#include "relay/RelayConfig.h"
#include "relay/RelayLog.h"
#include "relay/RelayService.h"
#include "relay/RelayStore.h"
#include "relay/RelayUpstream.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

// How long a stopping relay waits for the answers in flight.
constexpr int drainLimitMs = 30'000;

QByteArray readKey(const QString& path, QString& error)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the upstream key file %1: %2")
                    .arg(path, file.errorString());
        return {};
    }
    return file.readAll().trimmed();
}

int serve(const RelayConfig& config, const QString& configPath,
          const QProcessEnvironment& environment, RelayStore& store, SystemClock& clock)
{
    QString error;
    const QByteArray key = readKey(config.upstreamKeyFile, error);
    if (!error.isEmpty()) {
        RelayLog::error(error);
        return 1;
    }
    RelayUpstream upstream(clock, config.upstreamURL, key);
    RelayService service(clock, store, upstream, config, configPath, environment);
    const quint16 port = service.listen(error);
    if (port == 0) {
        RelayLog::error(error);
        return 1;
    }
    RelayLog::info(
        QStringLiteral("listening on %1:%2%3, upstream %4, %5 storage")
            .arg(config.listenAddress.toString())
            .arg(port)
            .arg(config.tlsCertificate.isEmpty() ? QString() : QStringLiteral(" (TLS)"),
                 config.upstreamURL,
                 store.isPostgres() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite")));

    // SIGTERM and SIGINT stop the relay once the requests in flight have their answers;
    // SIGHUP reads the configuration file again (it is also read whenever it changes).
    sigset_t handled;
    sigemptyset(&handled);
    sigaddset(&handled, SIGTERM);
    sigaddset(&handled, SIGINT);
    sigaddset(&handled, SIGHUP);
    const int signalFD = signalfd(-1, &handled, SFD_CLOEXEC | SFD_NONBLOCK);
    QSocketNotifier notifier(signalFD, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &service, [&] {
        signalfd_siginfo info{};
        bool stop = false;
        while (::read(signalFD, &info, sizeof info) == sizeof info) {
            if (info.ssi_signo == SIGHUP)
                service.reloadConfiguration();
            else
                stop = true;
        }
        if (!stop || service.property("stopping").toBool())
            return;
        service.setProperty("stopping", true);
        RelayLog::info(QStringLiteral("stopping: %1 request(s) in flight").arg(service.inFlight()));
        service.stopAccepting();
        QTimer::singleShot(drainLimitMs, qApp, [] {
            RelayLog::warning(QStringLiteral("stopped with requests still in flight"));
            QCoreApplication::exit(0);
        });
    });
    QObject::connect(&service, &RelayService::drained, qApp, [] {
        RelayLog::info(QStringLiteral("stopped"));
        QCoreApplication::exit(0);
    });
    const int status = QCoreApplication::exec();
    ::close(signalFD);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Blocked before any thread starts, so that only the signalfd sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillmark-relay"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList arguments = app.arguments().mid(1);
    QString configPath =
        environment.value(QStringLiteral("QUILLMARK_RELAY_CONFIG"), defaultConfigPath());
    if (arguments.value(0) == u"--config") {
        if (arguments.size() < 2) {
            err << RelayCli::usage();
            return 2;
        }
        configPath = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.value(0) == u"--version") {
        out << "quillmark-relay " << AppIdentity::version() << Qt::endl;
        return 0;
    }
    if (arguments.value(0) == u"--help" || arguments.value(0) == u"-h") {
        out << RelayCli::usage();
        return 0;
    }
    if (!arguments.isEmpty() && arguments.first() != u"serve" && !RelayCli::handles(arguments)) {
        err << RelayCli::usage();
        return 2;
    }

    auto loaded = RelayConfig::load(configPath, environment);
    if (auto* problem = std::get_if<QString>(&loaded)) {
        err << "quillmark-relay: " << *problem << Qt::endl;
        return 1;
    }
    const auto& config = std::get<RelayConfig>(loaded);
    auto opened = RelayStore::open(config.database, QStringLiteral("relay"));
    if (auto* problem = std::get_if<QString>(&opened)) {
        err << "quillmark-relay: " << *problem << Qt::endl;
        return 1;
    }
    RelayStore& store = *std::get<std::unique_ptr<RelayStore>>(opened);
    if (!store.migrate()) {
        err << "quillmark-relay: cannot prepare the database: " << store.lastError() << Qt::endl;
        return 1;
    }

    SystemClock clock;
    if (arguments.isEmpty() || arguments.first() == u"serve")
        return serve(config, configPath, environment, store, clock);
    return RelayCli::run(arguments, store, config, clock, out, err);
}
