#include "Workspace.h"

#include <QDesktopServices>

namespace morvex {

Workspace::Workspace() : m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

Workspace& Workspace::shared()
{
    static Workspace workspace;
    return workspace;
}

bool Workspace::openURL(const QUrl& url) const
{
    return m_opener && url.isValid() && m_opener(url);
}

Workspace::Opener Workspace::setOpener(Opener opener)
{
    return std::exchange(m_opener, std::move(opener));
}

} // namespace morvex
