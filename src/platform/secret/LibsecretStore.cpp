// SPDX-License-Identifier: MIT
#include "platform/secret/LibsecretStore.h"

#include "platform/secret/BoundedGLibCall.h"

// GLib names a structure member "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include <memory>

namespace {

// Items match on "service" and "account" alone. Without DONT_MATCH_NAME libsecret would
// also require its "xdg:schema" attribute, which items stored by secret-tool lack.
const SecretSchema schema = {
    "com.veltra.quillmark.Secret",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {
        {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
    },
};

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using ServicePtr = std::unique_ptr<SecretService, GObjectUnref>;

struct AttributesUnref {
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
using AttributesPtr = std::unique_ptr<GHashTable, AttributesUnref>;

struct ValueUnref {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using ValuePtr = std::unique_ptr<SecretValue, ValueUnref>;

struct ItemsFree {
    void operator()(GList* items) const { g_list_free_full(items, g_object_unref); }
};
using ItemsPtr = std::unique_ptr<GList, ItemsFree>;

AttributesPtr attributes(const QString& service, const QString& account)
{
    GHashTable* table = g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free);
    g_hash_table_insert(table, g_strdup("service"), g_strdup(service.toUtf8().constData()));
    g_hash_table_insert(table, g_strdup("account"), g_strdup(account.toUtf8().constData()));
    return AttributesPtr(table);
}

// The Secret Service with an open session, so that secrets travel encrypted where the
// service supports it. Nothing when no service answers on the session bus.
ServicePtr openService(BoundedGLibCall& call)
{
    GAsyncResult* result =
        call.await([](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
            secret_service_get(SECRET_SERVICE_OPEN_SESSION, cancel, done, data);
        });
    if (!result)
        return {};
    return ServicePtr(secret_service_get_finish(result, nullptr));
}

// Every item with these attributes in any collection, unlocked where the user agrees.
// Nothing when the search itself failed.
std::optional<ItemsPtr> findItems(BoundedGLibCall& call, SecretService* service,
                                  GHashTable* attributes)
{
    GAsyncResult* result =
        call.await([&](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
            const auto flags = SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK);
            secret_service_search(service, &schema, attributes, flags, cancel, done, data);
        });
    if (!result)
        return std::nullopt;
    GError* error = nullptr;
    ItemsPtr items(secret_service_search_finish(service, result, &error));
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return items;
}

} // namespace

LibsecretStore::LibsecretStore(std::chrono::milliseconds limit)
    : m_limit(limit)
{}

QString LibsecretStore::labelFor(const QString& service, const QString& account)
{
    if (service == QLatin1String("com.veltra.quillmark") &&
        account == QLatin1String("openai_api_key"))
        return QStringLiteral("Quillmark: OpenAI API key");
    return service + u' ' + account;
}

std::optional<QByteArray> LibsecretStore::read(const QString& service, const QString& account)
{
    BoundedGLibCall call(m_limit);
    const ServicePtr secrets = openService(call);
    if (!secrets)
        return std::nullopt;
    const AttributesPtr query = attributes(service, account);
    GAsyncResult* result =
        call.await([&](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
            secret_service_lookup(secrets.get(), &schema, query.get(), cancel, done, data);
        });
    if (!result)
        return std::nullopt;
    const ValuePtr value(secret_service_lookup_finish(secrets.get(), result, nullptr));
    if (!value)
        return std::nullopt;
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return QByteArray(bytes, qsizetype(length));
}

bool LibsecretStore::write(const QString& service, const QString& account, const QByteArray& value)
{
    BoundedGLibCall call(m_limit);
    const ServicePtr secrets = openService(call);
    if (!secrets)
        return false;
    const AttributesPtr query = attributes(service, account);
    const ValuePtr secret(secret_value_new(value.constData(), value.size(), "text/plain"));

    // Replace the value of the items already there, whoever stored them, and add an item
    // only when there is none: storing over an item made by another program would leave
    // two items that differ only in their schema name, and lookups would find either.
    const std::optional<ItemsPtr> items = findItems(call, secrets.get(), query.get());
    if (!items)
        return false;
    if (!*items) {
        const QByteArray label = labelFor(service, account).toUtf8();
        GAsyncResult* result =
            call.await([&](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
                secret_service_store(secrets.get(), &schema, query.get(), SECRET_COLLECTION_DEFAULT,
                                     label.constData(), secret.get(), cancel, done, data);
            });
        return result && secret_service_store_finish(secrets.get(), result, nullptr);
    }
    for (GList* node = items->get(); node; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        GAsyncResult* result =
            call.await([&](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
                secret_item_set_secret(item, secret.get(), cancel, done, data);
            });
        if (!result || !secret_item_set_secret_finish(item, result, nullptr))
            return false;
    }
    return true;
}

bool LibsecretStore::remove(const QString& service, const QString& account)
{
    BoundedGLibCall call(m_limit);
    const ServicePtr secrets = openService(call);
    if (!secrets)
        return false;
    const AttributesPtr query = attributes(service, account);
    // Deleting item by item, rather than libsecret's clear, reports an item that stayed
    // locked as a failure instead of silently leaving it in place.
    const std::optional<ItemsPtr> items = findItems(call, secrets.get(), query.get());
    if (!items)
        return false;
    for (GList* node = items->get(); node; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        GAsyncResult* result =
            call.await([&](GCancellable* cancel, GAsyncReadyCallback done, gpointer data) {
                secret_item_delete(item, cancel, done, data);
            });
        if (!result || !secret_item_delete_finish(item, result, nullptr))
            return false;
    }
    return true;
}
