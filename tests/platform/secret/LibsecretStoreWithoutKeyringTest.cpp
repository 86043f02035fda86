// SPDX-License-Identifier: MIT
// The store with no session bus at all (a command run over ssh), then on a private session bus
// of the test's own where no keyring runs, and then where the keyring's name belongs to a
// program that never answers.
#include "platform/secret/LibsecretStore.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString service = QStringLiteral("com.veltra.quillmark.test");
const QString account = QStringLiteral("openai_api_key");

// The bus configuration names no service directories, so nothing can be started on
// demand: the keyring appears on this bus only when a test puts it there.
constexpr const char* busConfiguration =
    R"(<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>)"
    R"(<policy context="default"><allow send_destination="*" eavesdrop="true"/>)"
    R"(<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>)";

// Drops every method call that reaches this connection, so callers wait for a reply
// that never comes, as with a keyring that hangs.
GDBusMessage* swallowCalls(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer)
{
    if (incoming && g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_METHOD_CALL) {
        g_object_unref(message);
        return nullptr;
    }
    return message;
}

// Takes the keyring's name on the bus with a connection that never answers; null when that
// failed.
GDBusConnection* startSilentKeyring(const QByteArray& address)
{
    const auto flags = GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    GDBusConnection* keyring = g_dbus_connection_new_for_address_sync(address.constData(), flags,
                                                                      nullptr, nullptr, nullptr);
    if (!keyring)
        return nullptr;
    g_dbus_connection_add_filter(keyring, swallowCalls, nullptr, nullptr);
    GVariant* reply = g_dbus_connection_call_sync(
        keyring, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", "org.freedesktop.secrets", 4u /* do not queue */),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
    guint32 answer = 0;
    if (reply) {
        g_variant_get(reply, "(u)", &answer);
        g_variant_unref(reply);
    }
    return answer == 1 ? keyring : nullptr; // the primary owner
}

// Every call fails at once without a bus or a keyring, even with the long default limit that
// leaves room for an unlock prompt. A keyring that takes calls and never answers costs each call
// its limit, not more: three calls cancelled after 100 ms each, where the D-Bus default of 25 s
// per call would show as well over a minute.
void expectEveryCallFailsQuickly(LibsecretStore&& store)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(store.read(service, account), std::nullopt);
    EXPECT_FALSE(store.write(service, account, "sk-test"));
    EXPECT_FALSE(store.remove(service, account));
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(LibsecretStoreWithoutKeyringTest, FailsAtOnceWithoutABusOrAKeyringAndGivesUpOnASilentOne)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "needs dbus-daemon";
    QTemporaryDir dir;
    // An address where nothing listens. GLib keeps no connection that failed, so the private
    // bus below is still found afterwards.
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            "unix:path=" + dir.filePath(QStringLiteral("no-bus-here")).toUtf8());
    {
        SCOPED_TRACE("no bus");
        expectEveryCallFailsQuickly(LibsecretStore());
    }

    const QString config = dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString::fromLatin1(busConfiguration).arg(dir.path()).toUtf8());
    file.close();
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted(10000));
    QByteArray address;
    while (!address.endsWith('\n') && daemon.waitForReadyRead(10000))
        address += daemon.readAllStandardOutput();
    address = address.trimmed();
    ASSERT_FALSE(address.isEmpty()) << "could not start a private dbus-daemon";
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    // GLib ends the process when its session bus goes away; this bus goes away when the test
    // ends, which is no reason to fail.
    if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
        g_dbus_connection_set_exit_on_close(bus, FALSE);
        g_object_unref(bus);
    }

    for (const bool silentKeyring : {false, true}) {
        SCOPED_TRACE(silentKeyring ? "a keyring that never answers" : "no keyring");
        GDBusConnection* keyring = silentKeyring ? startSilentKeyring(address) : nullptr;
        ASSERT_EQ(keyring != nullptr, silentKeyring);
        expectEveryCallFailsQuickly(
            LibsecretStore(silentKeyring ? 100ms : LibsecretStore::defaultLimit));
        if (keyring) {
            g_dbus_connection_close_sync(keyring, nullptr, nullptr);
            g_object_unref(keyring);
        }
    }
    daemon.terminate();
    daemon.waitForFinished(10000);
}

} // namespace
