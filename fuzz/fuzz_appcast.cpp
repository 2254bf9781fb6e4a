// Arbitrary bytes as the update feed: reading never crashes; every item it keeps is usable (a version, a short
// version, an allowed https link); the newest item is at least as new as every other, and the version order
// is antisymmetric.

#include "Appcast.h"
#include "VersionComparator.h"

#include "FuzzSupport.h"

using morvex::fuzz::fail;

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

int order(const morvex::AppcastItem& a, const morvex::AppcastItem& b)
{
    if (const int shortOrder = morvex::VersionComparator::compare(a.shortVersion, b.shortVersion))
        return shortOrder;
    return morvex::VersionComparator::compare(a.version, b.version);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray feed(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto appcast = morvex::Appcast::parse(
        feed, [](const QUrl& link) { return link.scheme() == u"https"; }, &error);
    if (!appcast) {
        if (error.isEmpty())
            fail("refused without a reason", {});
        return 0;
    }
    const auto& items = appcast->items();
    for (const auto& item : items) {
        if (item.version.isEmpty() || item.shortVersion.isEmpty() || !item.link.isValid() ||
            item.link.scheme() != u"https")
            fail("kept an unusable item", item.title.toStdString());
    }
    const morvex::AppcastItem* newest = appcast->newest();
    if ((newest == nullptr) != items.empty())
        fail("newest item", std::to_string(items.size()));
    for (const auto& a : items) {
        if (order(*newest, a) < 0)
            fail("an item is newer than the newest", QString(a.shortVersion + u' ' + a.version).toStdString());
        for (const auto& b : items) {
            if (sign(morvex::VersionComparator::compare(a.version, b.version)) !=
                -sign(morvex::VersionComparator::compare(b.version, a.version)))
                fail("version order is not antisymmetric", QString(a.version + u'/' + b.version).toStdString());
        }
    }
    return 0;
}
