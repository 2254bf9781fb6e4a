#include "VersionComparator.h"

#include <QStringView>

#include <vector>

namespace morvex {

namespace {

struct Token
{
    bool numeric = false;
    QStringView text;
};

bool isSeparator(QChar c)
{
    return c == u'.' || c == u'-' || c == u'_' || c == u'+' || c.isSpace();
}

std::vector<Token> tokens(const QString& version)
{
    std::vector<Token> result;
    qsizetype i = 0;
    const qsizetype n = version.size();
    while (i < n) {
        if (isSeparator(version[i])) {
            ++i;
            continue;
        }
        const bool numeric = version[i].isDigit();
        const qsizetype start = i;
        while (i < n && !isSeparator(version[i]) && version[i].isDigit() == numeric)
            ++i;
        result.push_back({numeric, QStringView(version).mid(start, i - start)});
    }
    return result;
}

QStringView withoutLeadingZeros(QStringView digits)
{
    qsizetype skip = 0;
    while (skip + 1 < digits.size() && digits[skip] == u'0')
        ++skip;
    return digits.mid(skip);
}

int sign(qsizetype value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Digit runs may be longer than any integer type: compare their lengths first, then their digits.
int compareNumbers(QStringView a, QStringView b)
{
    a = withoutLeadingZeros(a);
    b = withoutLeadingZeros(b);
    if (a.size() != b.size())
        return sign(a.size() - b.size());
    return sign(a.compare(b));
}

bool isZero(QStringView digits)
{
    return withoutLeadingZeros(digits) == u"0";
}

// What is left of the longer version decides: a non-zero number makes it newer, letters make it a
// pre-release of the shorter one.
int compareRest(const std::vector<Token>& rest, std::size_t from)
{
    for (std::size_t i = from; i < rest.size(); ++i) {
        if (!rest[i].numeric)
            return -1;
        if (!isZero(rest[i].text))
            return 1;
    }
    return 0;
}

} // namespace

int VersionComparator::compare(const QString& a, const QString& b)
{
    const auto left = tokens(a);
    const auto right = tokens(b);
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const Token& x = left[i];
        const Token& y = right[i];
        int result = 0;
        if (x.numeric && y.numeric)
            result = compareNumbers(x.text, y.text);
        else if (x.numeric != y.numeric)
            result = x.numeric ? 1 : -1; // a release number is newer than a pre-release tag
        else
            result = sign(x.text.compare(y.text, Qt::CaseInsensitive));
        if (result != 0)
            return result;
    }
    if (left.size() > common)
        return compareRest(left, common);
    if (right.size() > common)
        return -compareRest(right, common);
    return 0;
}

} // namespace morvex
