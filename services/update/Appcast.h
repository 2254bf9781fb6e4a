#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

namespace morvex {

/// One published version in the update feed.
struct AppcastItem
{
    QString title;
    /// The build number, compared after the short version.
    QString version;
    /// The version shown to people, e.g. "1.2.0".
    QString shortVersion;
    /// The page from which the new version is downloaded; opened in the browser.
    QUrl link;
    /// Release notes as plain text.
    QString notes;
};

/// The update feed: an RSS 2.0 document whose items carry, besides the usual title, link and description,
/// the elements `version` and `shortVersionString` in the namespace `namespaceUri()`:
///
///     <rss version="2.0" xmlns:morvex="urn:morvex:appcast:1"><channel><item>
///       <title>Morvex 1.2.0</title><link>https://…/download</link><description>…</description>
///       <morvex:version>15</morvex:version><morvex:shortVersionString>1.2.0</morvex:shortVersionString>
///     </item></channel></rss>
class Appcast
{
public:
    using LinkCheck = std::function<bool(const QUrl&)>;

    static QString namespaceUri();

    /// Reads a feed. Items without a version, a short version, or a download link that `linkAllowed` accepts
    /// are left out. Returns nullopt (and sets `error`) when the text is not a well-formed RSS document, or
    /// when it has items but none of them is usable.
    static std::optional<Appcast> parse(const QByteArray& feed, const LinkCheck& linkAllowed, QString* error = nullptr);

    const std::vector<AppcastItem>& items() const { return m_items; }

    /// The newest item by short version, then version; nullptr when there are no items.
    const AppcastItem* newest() const;

private:
    std::vector<AppcastItem> m_items;
};

} // namespace morvex
