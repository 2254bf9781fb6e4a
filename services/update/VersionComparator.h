#pragma once

#include <QString>

namespace morvex {

/// Orders version texts such as "1.2.0", "1.10", "2.0b3" or build numbers such as "15".
///
/// A version is read as runs of digits and runs of other characters; ".", "-", "_", "+" and spaces only
/// separate. Digit runs compare as numbers of any length, other runs as text. When one version has run out,
/// the other is newer if what is left starts with a non-zero number ("1.0.1" after "1.0"), older if it starts
/// with letters ("1.0b1" before "1.0"); trailing zeros change nothing ("1.0" equals "1.0.0").
class VersionComparator
{
public:
    VersionComparator() = delete;

    /// Negative when `a` is older than `b`, 0 when they are the same version, positive when `a` is newer.
    static int compare(const QString& a, const QString& b);
};

} // namespace morvex
