// SPDX-License-Identifier: MIT
// The store on a private session bus of the test's own, where no keyring runs, and then
// where the keyring's name belongs to a program that never answers.
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
constexpr const char* busConfiguration = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

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

class LibsecretStoreWithoutKeyringTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        s_dir = new QTemporaryDir;
        const QString config = s_dir->filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QString::fromLatin1(busConfiguration).arg(s_dir->path()).toUtf8());
        file.close();

        s_daemon = new QProcess;
        s_daemon->start(QStringLiteral("dbus-daemon"),
                        {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                         QStringLiteral("--print-address=1")});
        if (!s_daemon->waitForStarted(10000))
            return;
        QByteArray address;
        while (!address.endsWith('\n') && s_daemon->waitForReadyRead(10000))
            address += s_daemon->readAllStandardOutput();
        s_address = address.trimmed();
        if (s_address.isEmpty())
            return;
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_address);

        // GLib ends the process when its session bus goes away; this bus goes away when
        // the test ends, which is no reason to fail.
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (bus) {
            g_dbus_connection_set_exit_on_close(bus, FALSE);
            g_object_unref(bus);
        }
    }

    static void TearDownTestSuite()
    {
        if (s_silentKeyring) {
            g_dbus_connection_close_sync(s_silentKeyring, nullptr, nullptr);
            g_clear_object(&s_silentKeyring);
        }
        if (s_daemon) {
            s_daemon->terminate();
            s_daemon->waitForFinished(10000);
            delete s_daemon;
            s_daemon = nullptr;
        }
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override
    {
        if (s_address.isEmpty())
            GTEST_SKIP() << "could not start a private dbus-daemon";
    }

    // Takes the keyring's name on the private bus with a connection that never answers.
    static bool startSilentKeyring()
    {
        if (s_silentKeyring)
            return true;
        const auto flags = GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        s_silentKeyring = g_dbus_connection_new_for_address_sync(s_address.constData(), flags,
                                                                 nullptr, nullptr, nullptr);
        if (!s_silentKeyring)
            return false;
        g_dbus_connection_add_filter(s_silentKeyring, swallowCalls, nullptr, nullptr);
        GVariant* reply = g_dbus_connection_call_sync(
            s_silentKeyring, "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", "org.freedesktop.secrets", 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
        if (!reply)
            return false;
        guint32 answer = 0;
        g_variant_get(reply, "(u)", &answer);
        g_variant_unref(reply);
        return answer == 1; // the primary owner
    }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline QProcess* s_daemon = nullptr;
    static inline QByteArray s_address;
    static inline GDBusConnection* s_silentKeyring = nullptr;
};

// Without a keyring every call fails at once, even with the long default limit that
// leaves room for an unlock prompt.
TEST_F(LibsecretStoreWithoutKeyringTest, FailsAtOnceWhenNoKeyringIsOnTheBus)
{
    LibsecretStore store;
    QElapsedTimer timer;
    timer.start();

    EXPECT_EQ(store.read(service, account), std::nullopt);
    EXPECT_FALSE(store.write(service, account, "sk-test"));
    EXPECT_FALSE(store.remove(service, account));

    EXPECT_LT(timer.elapsed(), 10000);
}

// A keyring that takes calls and never answers costs each call its limit, not more.
TEST_F(LibsecretStoreWithoutKeyringTest, GivesUpOnAKeyringThatNeverAnswers)
{
    ASSERT_TRUE(startSilentKeyring());
    LibsecretStore store(100ms);
    QElapsedTimer timer;
    timer.start();

    EXPECT_EQ(store.read(service, account), std::nullopt);
    EXPECT_FALSE(store.write(service, account, "sk-test"));
    EXPECT_FALSE(store.remove(service, account));

    // Three calls, each cancelled after 100 ms; the D-Bus default of 25 s per call would
    // show here as well over a minute.
    EXPECT_LT(timer.elapsed(), 10000);
}

} // namespace
