// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The contents of the clipboard, kept so that they can be put back exactly: the items in
// the order the clipboard lists them, each a map from data type (a MIME type such as
// "text/plain" or "text/html") to its bytes. Only types whose data could be read are
// present; the order of the types inside an item is not kept. On X11 the clipboard holds
// at most one item.
struct PasteboardSnapshot {
    using Item = QMap<QString, QByteArray>;

    QList<Item> items;

    bool isEmpty() const { return items.isEmpty(); }
    bool operator==(const PasteboardSnapshot&) const = default;
};

// The data types Quillmark itself writes.
namespace PasteboardType {
// Plain text, as UTF-8 bytes.
inline constexpr const char* plainText = "text/plain";
// The marker by which clipboard history tools recognise contents that only pass through
// the clipboard and are not to be recorded; it carries no bytes.
inline constexpr const char* transient = "org.nspasteboard.TransientType";
// KDE's equivalent of the marker, which Klipper and other managers honour when its value
// is "secret".
inline constexpr const char* passwordManagerHint = "x-kde-passwordManagerHint";

// Whether a type offered by the clipboard's owner is data that can be saved and offered
// again (not one of the X11 selection's own conversion targets, nor a type that points into
// the process that wrote it).
bool isRestorable(const QString& type);
} // namespace PasteboardType

// The snapshot of the one item a clipboard adapter read, logging the types its owner did
// not deliver in time; empty when nothing was read.
PasteboardSnapshot savedClipboard(const PasteboardSnapshot::Item& item, const QStringList& late);

// What a clipboard adapter keeps of its own writes: the item it serves while it holds the
// clipboard, and the snapshot of the user's clipboard that a transient item of its own (a
// result whose paste is under way) took the place of, so that a snapshot taken meanwhile
// gives the user's clipboard back and not the result.
class ServedItem {
public:
    // The item now served; a transient one remembers what the last snapshot held.
    void wrote(const PasteboardSnapshot::Item& item);
    // The clipboard was emptied by this process.
    void cleared();
    // Another client took the clipboard.
    void lost() { m_item.reset(); }
    const std::optional<PasteboardSnapshot::Item>& item() const { return m_item; }

    // The snapshot while the item is served: what a transient item displaced, or the item.
    PasteboardSnapshot snapshotWhileServed();
    // Records the snapshot read from another owner, and answers it.
    PasteboardSnapshot readFromOwner(PasteboardSnapshot snapshot);

private:
    std::optional<PasteboardSnapshot::Item> m_item;
    PasteboardSnapshot m_lastSnapshot;
    std::optional<PasteboardSnapshot> m_displaced;
};
