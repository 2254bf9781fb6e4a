#pragma once

#include <QUrl>

namespace morvex {

/// The addresses the application talks to or opens in the browser, set when the build is configured.
class WebAddresses
{
public:
    WebAddresses() = delete;

    /// The update feed (an RSS 2.0 appcast).
    static QUrl appcast();
    /// The product's home page.
    static QUrl homePage();
    /// The product's discussion forum.
    static QUrl forum();
};

} // namespace morvex
