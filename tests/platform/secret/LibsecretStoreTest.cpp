// SPDX-License-Identifier: MIT
// The store against the real GNOME Keyring of scripts/test-session, side by side with
// secret-tool, the way users and scripts reach the same items (README names it).
#include "platform/secret/LibsecretStore.h"
#include "support/DesktopTools.h"

#include <gtest/gtest.h>

namespace {

// A service of its own, so that nothing here can meet the product's real item. Secrets go in
// and out of secret-tool on its standard input and output, never its arguments.
const QStringList item{"service", "com.veltra.quillmark.test", "account", "openai_api_key"};

ToolResult secretTool(const QString& command, const QStringList& options = {},
                      const QByteArray& input = {})
{
    return runTool("secret-tool", QStringList{command} + options + item, input);
}

// An item made by secret-tool lacks libsecret's schema attribute: it is still read, replaced
// in place rather than joined by a second item, and removed. Bytes travel untouched: a
// trailing newline, a NUL, bytes that are not UTF-8.
TEST(LibsecretStoreTest, AnItemSecretToolMadeIsReadUpdatedInPlaceAndRemoved)
{
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "needs a session bus with a keyring: run under scripts/test-session";
    LibsecretStore store;
    const QString service = item[1], account = item[3];
    secretTool("clear");
    EXPECT_EQ(store.read(service, account), std::nullopt);
    ASSERT_EQ(secretTool("store", {"--label=made by hand"}, "sk-from-secret-tool").exitCode, 0);
    EXPECT_EQ(store.read(service, account), QByteArray("sk-from-secret-tool"));

    const QByteArray secrets[] = {QByteArray("line\n", 5), QByteArray("a\0b\xff\xfe", 5),
                                  QByteArray(), "sk-replaced"};
    for (const QByteArray& secret : secrets) {
        SCOPED_TRACE(secret.toHex().toStdString());
        ASSERT_TRUE(store.write(service, account, secret));
        EXPECT_EQ(store.read(service, account), secret);
    }
    const QByteArray found = secretTool("search", {"--all"}).output;
    EXPECT_EQ(found.count("label = "), 1) << found.toStdString();
    EXPECT_TRUE(found.contains("label = made by hand\n")) << found.toStdString();
    EXPECT_EQ(secretTool("lookup").output, "sk-replaced");

    ASSERT_TRUE(store.remove(service, account));
    EXPECT_NE(secretTool("lookup").exitCode, 0);
    EXPECT_TRUE(store.remove(service, account)) << "removing a missing item succeeds";
}

} // namespace
