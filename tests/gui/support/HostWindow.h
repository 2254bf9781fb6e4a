#pragma once

#include <QTest>
#include <QWidget>

#include <memory>

namespace morvex::test {

/// A shown top-level window of `width` × `height` for sheets to attach to; nullptr when the platform never
/// exposed it.
inline std::unique_ptr<QWidget> shownHostWindow(int width, int height)
{
    auto host = std::make_unique<QWidget>();
    host->resize(width, height);
    host->show();
    if (!QTest::qWaitForWindowExposed(host.get()))
        return nullptr;
    return host;
}

} // namespace morvex::test
