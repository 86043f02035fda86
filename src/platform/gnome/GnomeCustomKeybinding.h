// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandKeybinding.h"

#include <memory>

using GSettings = struct _GSettings;

// Quillmark's entry among GNOME's custom keyboard shortcuts (Settings, Keyboard, Custom
// Shortcuts): the settings daemon's list of custom keybinding paths, plus one entry at
// Quillmark's own path with a name, a command and a binding. Only that path is ever added
// to or taken out of the list. Main thread only.
class GnomeCustomKeybinding final : public CommandKeybinding {
public:
    static constexpr const char* listSchema = "org.gnome.settings-daemon.plugins.media-keys";
    static constexpr const char* entrySchema =
        "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
    static constexpr const char* entryPath =
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/quillmark/";

    // Nothing (and a log line) when this computer lacks the settings daemon's schemas or
    // keeps settings only in memory: GNOME would never see the entry. The layout names
    // keys and must outlive the adapter.
    static std::unique_ptr<GnomeCustomKeybinding> make(KeyCharacters& layout);
    ~GnomeCustomKeybinding() override;

    std::optional<HotkeyShortcut> current() override;
    bool set(const HotkeyShortcut& shortcut, const QString& command) override;
    void remove() override;

    // The binding as GNOME writes it, "<Alt><Super>t"; empty for a key without a keysym.
    static QString accelerator(const HotkeyShortcut& shortcut, KeyCharacters& layout);
    // Reads one back: <Control> (or <Ctrl>, <Primary>), <Alt> (<Mod1>), <Shift>, <Super>
    // (<Mod4>) in any order and case, then a keysym name. Nothing for any other modifier.
    static std::optional<HotkeyShortcut> parseAccelerator(const QString& accelerator,
                                                          KeyCharacters& layout);

private:
    GnomeCustomKeybinding(KeyCharacters& layout, GSettings* list, GSettings* entry);
    QStringList paths() const;
    bool setPaths(const QStringList& paths);
    bool listed() const;

    KeyCharacters& m_layout;
    GSettings* m_list;
    GSettings* m_entry;
};
