#include "Appcast.h"

#include "VersionComparator.h"

#include <QXmlStreamReader>

namespace morvex {

namespace {

int compareItems(const AppcastItem& a, const AppcastItem& b)
{
    if (const int shortOrder = VersionComparator::compare(a.shortVersion, b.shortVersion))
        return shortOrder;
    return VersionComparator::compare(a.version, b.version);
}

AppcastItem readItem(QXmlStreamReader& xml)
{
    AppcastItem item;
    const QString ours = Appcast::namespaceUri();
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const auto space = xml.namespaceUri();
        if (space.isEmpty() && name == u"title")
            item.title = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else if (space.isEmpty() && name == u"link")
            item.link = QUrl(xml.readElementText().trimmed(), QUrl::StrictMode);
        else if (space.isEmpty() && name == u"description")
            item.notes = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else if (space == ours && name == u"version")
            item.version = xml.readElementText().trimmed();
        else if (space == ours && name == u"shortVersionString")
            item.shortVersion = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    return item;
}

} // namespace

QString Appcast::namespaceUri()
{
    return QStringLiteral("urn:morvex:appcast:1");
}

std::optional<Appcast> Appcast::parse(const QByteArray& feed, const LinkCheck& linkAllowed, QString* error)
{
    auto fail = [error](QString why) -> std::optional<Appcast> {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };

    QXmlStreamReader xml(feed);
    if (!xml.readNextStartElement() || xml.name() != u"rss")
        return fail(QStringLiteral("not an RSS document"));

    Appcast appcast;
    int itemsSeen = 0;
    bool sawChannel = false;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel") {
            xml.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"item") {
                xml.skipCurrentElement();
                continue;
            }
            ++itemsSeen;
            AppcastItem item = readItem(xml);
            if (item.version.isEmpty() || item.shortVersion.isEmpty() || !item.link.isValid() ||
                !(linkAllowed && linkAllowed(item.link)))
                continue;
            appcast.m_items.push_back(std::move(item));
        }
    }
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext(); // anything after </rss> must still be well-formed
    if (xml.hasError())
        return fail(xml.errorString());
    if (!sawChannel)
        return fail(QStringLiteral("no channel"));
    if (itemsSeen > 0 && appcast.m_items.empty())
        return fail(QStringLiteral("no usable item"));
    return appcast;
}

const AppcastItem* Appcast::newest() const
{
    const AppcastItem* best = nullptr;
    for (const auto& item : m_items) {
        if (!best || compareItems(item, *best) > 0)
            best = &item;
    }
    return best;
}

} // namespace morvex
