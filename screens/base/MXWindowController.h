#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

namespace morvex {

class MXBaseViewController;
class MXWindow;

/// Owns the main window and its content, the main screen.
class MXWindowController : public QObject
{
    Q_OBJECT

public:
    /// Takes `content` as the window's content view controller.
    explicit MXWindowController(MXBaseViewController* content, QObject* parent = nullptr);
    ~MXWindowController() override;

    MXWindow* window() const { return m_window.get(); }
    MXBaseViewController* contentViewController() const { return m_content; }

    /// Shows the window, makes it key and brings it to the front.
    void showWindow();

private:
    std::unique_ptr<MXWindow> m_window;
    QPointer<MXBaseViewController> m_content;
};

} // namespace morvex
