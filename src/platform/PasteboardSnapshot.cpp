// SPDX-License-Identifier: MIT
#include "platform/PasteboardSnapshot.h"

#include "core/Log.h"

bool PasteboardType::isRestorable(const QString& type)
{
    // TARGETS, MULTIPLE, TIMESTAMP and SAVE_TARGETS describe the selection itself, and
    // DELETE and the INSERT_ targets ask its owner to act on it: none of them is data.
    static const QStringList conversionTargets = {
        QStringLiteral("TARGETS"),         QStringLiteral("MULTIPLE"),
        QStringLiteral("TIMESTAMP"),       QStringLiteral("SAVE_TARGETS"),
        QStringLiteral("DELETE"),          QStringLiteral("INSERT_SELECTION"),
        QStringLiteral("INSERT_PROPERTY"),
    };
    if (type.isEmpty() || conversionTargets.contains(type))
        return false;
    // Qt's own in-process types point into the writing process, and GTK's rich text
    // buffer format names an object of the copying text view.
    if (type.startsWith(QLatin1String("application/x-qt-")) ||
        type == QLatin1String("GTK_TEXT_BUFFER_CONTENTS"))
        return false;
    return true;
}

PasteboardSnapshot savedClipboard(const PasteboardSnapshot::Item& item, const QStringList& late)
{
    if (!late.isEmpty())
        Log::capture().error(
            QStringLiteral("clipboard owner did not deliver %1 in time — left out of the saved "
                           "clipboard")
                .arg(late.join(QStringLiteral(", "))));
    if (item.isEmpty())
        return {};
    return PasteboardSnapshot{{item}};
}

void ServedItem::wrote(const PasteboardSnapshot::Item& item)
{
    if (item.contains(QLatin1String(PasteboardType::transient)))
        m_displaced = m_lastSnapshot;
    else
        m_displaced.reset();
    m_item = item;
}

void ServedItem::cleared()
{
    m_item.reset();
    m_displaced.reset();
}

PasteboardSnapshot ServedItem::snapshotWhileServed()
{
    if (!m_displaced)
        m_lastSnapshot = PasteboardSnapshot{{*m_item}};
    return m_displaced ? *m_displaced : m_lastSnapshot;
}

PasteboardSnapshot ServedItem::readFromOwner(PasteboardSnapshot snapshot)
{
    m_displaced.reset();
    m_lastSnapshot = std::move(snapshot);
    return m_lastSnapshot;
}
