// SPDX-License-Identifier: MIT
#include "updates/Appcast.h"

#include <QXmlStreamReader>

namespace {

// The text of the current element, children's text included: feeds put HTML in their
// descriptions with and without CDATA.
QString elementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
}

struct Enclosure {
    QUrl url;
    qint64 length = 0;
    QString version;
    QString shortVersion;
    QString os;
};

Enclosure readEnclosure(QXmlStreamReader& xml)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString& ns = Appcast::sparkleNamespace;
    Enclosure enclosure;
    enclosure.url = QUrl(attributes.value(QStringLiteral("url")).trimmed().toString());
    enclosure.length = attributes.value(QStringLiteral("length")).toLongLong();
    enclosure.version = attributes.value(ns, QStringLiteral("version")).trimmed().toString();
    enclosure.shortVersion =
        attributes.value(ns, QStringLiteral("shortVersionString")).trimmed().toString();
    enclosure.os = attributes.value(ns, QStringLiteral("os")).trimmed().toString();
    xml.skipCurrentElement();
    return enclosure;
}

// Reads one <item> up to its end tag. Nothing for an item this product cannot use.
std::optional<AppcastItem> readItem(QXmlStreamReader& xml)
{
    AppcastItem item;
    QString version;
    QString shortVersion;
    Enclosure enclosure;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (xml.namespaceUri() == Appcast::sparkleNamespace) {
            if (name == u"version")
                version = elementText(xml);
            else if (name == u"shortVersionString")
                shortVersion = elementText(xml);
            else
                xml.skipCurrentElement();
        } else if (!xml.namespaceUri().isEmpty()) {
            xml.skipCurrentElement();
        } else if (name == u"title") {
            item.title = elementText(xml);
        } else if (name == u"link") {
            item.infoURL = QUrl(elementText(xml));
        } else if (name == u"description") {
            item.itemDescription = elementText(xml);
        } else if (name == u"enclosure") {
            enclosure = readEnclosure(xml);
        } else {
            xml.skipCurrentElement();
        }
    }

    // The element form wins over the older attribute form on the enclosure.
    item.versionString = version.isEmpty() ? enclosure.version : version;
    item.displayVersionString = shortVersion.isEmpty() ? enclosure.shortVersion : shortVersion;
    if (item.displayVersionString.isEmpty())
        item.displayVersionString = item.versionString;
    item.fileURL = enclosure.url;
    item.contentLength = enclosure.length;

    if (item.versionString.isEmpty())
        return std::nullopt;
    if (!enclosure.os.isEmpty() && enclosure.os != u"linux")
        return std::nullopt;
    if (!item.fileURL.isValid() && !item.infoURL.isValid())
        return std::nullopt;
    return item;
}

} // namespace

std::optional<Appcast> Appcast::parse(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    if (!xml.readNextStartElement() || xml.name() != u"rss")
        return std::nullopt;

    Appcast appcast;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"item") {
                xml.skipCurrentElement();
                continue;
            }
            if (std::optional<AppcastItem> item = readItem(xml))
                appcast.items.append(std::move(*item));
        }
    }
    // A document cut short or with junk after the feed is as broken as one that fails
    // early: the items read so far cannot be trusted to be all there are.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return std::nullopt;
    return appcast;
}
