// SPDX-License-Identifier: MIT
#include "platform/gnome/GnomeCustomKeybinding.h"

#include "core/Log.h"

// GLib names a structure member "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <array>
#include <vector>

namespace {

constexpr const char* listKey = "custom-keybindings";

// The modifiers in the order GNOME's own settings write them, and the names it reads.
struct Modifier {
    uint32_t bit;
    std::array<const char*, 3> names; // the first is the one written
};
constexpr Modifier modifiers[] = {
    {HotkeyShortcut::controlBit, {"Control", "Ctrl", "Primary"}},
    {HotkeyShortcut::optionBit, {"Alt", "Mod1", nullptr}},
    {HotkeyShortcut::shiftBit, {"Shift", nullptr, nullptr}},
    {HotkeyShortcut::commandBit, {"Super", "Mod4", nullptr}},
};

std::optional<uint32_t> modifierBit(QStringView name)
{
    for (const Modifier& modifier : modifiers) {
        for (const char* known : modifier.names) {
            if (known && name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                return modifier.bit;
        }
    }
    return std::nullopt;
}

// A schema from the default sources, or null: g_settings_new() on a missing schema ends
// the process.
GSettingsSchema* lookUp(const char* id)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return source ? g_settings_schema_source_lookup(source, id, TRUE) : nullptr;
}

bool keepsOnlyInMemory(GSettings* settings)
{
    GSettingsBackend* backend = nullptr;
    g_object_get(settings, "backend", &backend, nullptr);
    const bool memory =
        QLatin1String(G_OBJECT_TYPE_NAME(backend)) == QLatin1String("GMemorySettingsBackend");
    g_object_unref(backend);
    return memory;
}

} // namespace

std::unique_ptr<GnomeCustomKeybinding> GnomeCustomKeybinding::make(KeyCharacters& layout)
{
    GSettingsSchema* list = lookUp(listSchema);
    GSettingsSchema* entry = lookUp(entrySchema);
    const bool complete = list && entry && g_settings_schema_has_key(list, listKey) &&
                          g_settings_schema_has_key(entry, "binding");
    std::unique_ptr<GnomeCustomKeybinding> made;
    if (!complete) {
        Log::hotkey().info(QStringLiteral("GNOME custom shortcuts: not offered, the settings "
                                          "daemon's schema %1 is not installed")
                               .arg(QLatin1String(list ? entrySchema : listSchema)));
    } else {
        made.reset(new GnomeCustomKeybinding(layout, g_settings_new_full(list, nullptr, nullptr),
                                             g_settings_new_full(entry, nullptr, entryPath)));
        if (keepsOnlyInMemory(made->m_list)) {
            Log::hotkey().info(QStringLiteral("GNOME custom shortcuts: not offered, GSettings "
                                              "keeps changes in memory only (no dconf)"));
            made.reset();
        }
    }
    if (list)
        g_settings_schema_unref(list);
    if (entry)
        g_settings_schema_unref(entry);
    return made;
}

GnomeCustomKeybinding::GnomeCustomKeybinding(KeyCharacters& layout, GSettings* list,
                                             GSettings* entry)
    : m_layout(layout)
    , m_list(list)
    , m_entry(entry)
{}

GnomeCustomKeybinding::~GnomeCustomKeybinding()
{
    g_object_unref(m_entry);
    g_object_unref(m_list);
}

std::optional<HotkeyShortcut> GnomeCustomKeybinding::current()
{
    if (!listed())
        return std::nullopt;
    gchar* binding = g_settings_get_string(m_entry, "binding");
    const QString accelerator = QString::fromUtf8(binding);
    g_free(binding);
    return parseAccelerator(accelerator, m_layout);
}

bool GnomeCustomKeybinding::set(const HotkeyShortcut& shortcut, const QString& command)
{
    const QString binding = accelerator(shortcut, m_layout);
    if (binding.isEmpty()) {
        Log::hotkey().error(QStringLiteral("GNOME custom shortcut not set: the key of %1 has no "
                                           "keysym name in this layout")
                                .arg(shortcut.displayString(m_layout)));
        return false;
    }
    QStringList paths = this->paths();
    if (!paths.contains(QLatin1String(entryPath)))
        paths.append(QLatin1String(entryPath));

    const bool written = g_settings_set_string(m_entry, "name", "Quillmark") &&
                         g_settings_set_string(m_entry, "command", command.toUtf8().constData()) &&
                         g_settings_set_string(m_entry, "binding", binding.toUtf8().constData()) &&
                         setPaths(paths);
    if (!written) {
        Log::hotkey().error(QStringLiteral("GNOME custom shortcut %1 refused: its settings are "
                                           "not writable")
                                .arg(binding));
        return false;
    }
    Log::hotkey().info(QStringLiteral("GNOME custom shortcut set: %1").arg(binding));
    return true;
}

void GnomeCustomKeybinding::remove()
{
    QStringList paths = this->paths();
    if (!paths.removeAll(QLatin1String(entryPath)))
        return;
    setPaths(paths);
    for (const char* key : {"name", "command", "binding"})
        g_settings_reset(m_entry, key);
    Log::hotkey().info(QStringLiteral("GNOME custom shortcut removed"));
}

QString GnomeCustomKeybinding::accelerator(const HotkeyShortcut& shortcut, KeyCharacters& layout)
{
    const std::optional<QString> key = shortcut.keysymName(layout);
    if (!key)
        return {};
    QString text;
    for (const Modifier& modifier : modifiers) {
        if (shortcut.carbonModifiers & modifier.bit)
            text += u'<' + QLatin1String(modifier.names[0]) + u'>';
    }
    return text + *key;
}

std::optional<HotkeyShortcut> GnomeCustomKeybinding::parseAccelerator(const QString& accelerator,
                                                                      KeyCharacters& layout)
{
    uint32_t mask = 0;
    QStringView rest(accelerator);
    while (rest.startsWith(u'<')) {
        const qsizetype end = rest.indexOf(u'>');
        if (end < 0)
            return std::nullopt;
        const std::optional<uint32_t> bit = modifierBit(rest.mid(1, end - 1));
        if (!bit)
            return std::nullopt;
        mask |= *bit;
        rest = rest.mid(end + 1);
    }
    const std::optional<uint32_t> key =
        rest.isEmpty() ? std::nullopt
                       : HotkeyShortcut::keyCodeForKeysymName(rest.toString(), layout);
    if (!key)
        return std::nullopt;
    return HotkeyShortcut{*key, mask};
}

QStringList GnomeCustomKeybinding::paths() const
{
    gchar** list = g_settings_get_strv(m_list, listKey);
    QStringList paths;
    for (gchar** path = list; *path; ++path)
        paths.append(QString::fromUtf8(*path));
    g_strfreev(list);
    return paths;
}

bool GnomeCustomKeybinding::setPaths(const QStringList& paths)
{
    QList<QByteArray> utf8;
    for (const QString& path : paths)
        utf8.append(path.toUtf8());
    std::vector<const gchar*> list;
    for (const QByteArray& path : std::as_const(utf8))
        list.push_back(path.constData());
    list.push_back(nullptr);
    return g_settings_set_strv(m_list, listKey, list.data());
}

bool GnomeCustomKeybinding::listed() const
{
    return paths().contains(QLatin1String(entryPath));
}
