#pragma once

#include <QUrl>

#include <functional>

namespace morvex {

/// Opens web addresses in the user's default browser. The result of opening is not reported to the user.
class Workspace
{
public:
    using Opener = std::function<bool(const QUrl&)>;

    static Workspace& shared();

    bool openURL(const QUrl& url) const;

    /// Replaces how addresses are opened (tests record them instead); returns the previous opener.
    Opener setOpener(Opener opener);

private:
    Workspace();

    Opener m_opener;
};

} // namespace morvex
