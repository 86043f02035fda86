// SPDX-License-Identifier: MIT
#include "platform/qtgui/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

QtPasteboard::QtPasteboard()
{
    if (QClipboard* board = clipboard())
        QObject::connect(board, &QClipboard::dataChanged, &m_context, [this] { ++m_changeCount; });
}

QtPasteboard::~QtPasteboard() = default;

bool QtPasteboard::isRestorable(const QString& type)
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

PasteboardSnapshot QtPasteboard::snapshot()
{
    QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData(QClipboard::Clipboard) : nullptr;
    if (!data)
        return {};
    PasteboardSnapshot::Item item;
    for (const QString& type : data->formats()) {
        if (!isRestorable(type) || item.contains(type))
            continue;
        // An owner that refuses a conversion or does not answer in time gives a null
        // array; a type that really has no bytes gives an empty one and is kept.
        const QByteArray bytes = data->data(type);
        if (!bytes.isNull())
            item.insert(type, bytes);
    }
    if (item.isEmpty())
        return {};
    return PasteboardSnapshot{{item}};
}

void QtPasteboard::write(const PasteboardSnapshot& contents)
{
    QClipboard* board = clipboard();
    if (!board)
        return;
    if (contents.isEmpty()) {
        board->clear(QClipboard::Clipboard);
        return;
    }
    // The X11 clipboard holds one item; a later item would only overwrite the first.
    auto* data = new QMimeData;
    const PasteboardSnapshot::Item& item = contents.items.first();
    for (auto it = item.constBegin(); it != item.constEnd(); ++it)
        data->setData(it.key(), it.value().isNull() ? QByteArray("") : it.value());
    board->setMimeData(data, QClipboard::Clipboard);
}

std::optional<QString> QtPasteboard::readText()
{
    QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData(QClipboard::Clipboard) : nullptr;
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text();
}
