#pragma once

#include "StandardUpdaterController.h"
#include "Updater.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace morvex {

class MXBaseViewController;
class MXWindowController;

class UIViewController;

/// What the application's main interface is made of: its main screen and its About sheet.
struct MainInterface
{
    std::function<MXBaseViewController*()> makeRootViewController;
    std::function<UIViewController*(StandardUpdaterController* updater)> makeAboutViewController;
    /// Tells the user that `url` could not be opened; `window` is the main window.
    std::function<void(const QUrl& url, QWidget* window)> linkFailed;
};

/// The application delegate: loads the main interface (window, menu, updater), answers launch and reopen,
/// the About and web-link commands, and starts one background update check 5 seconds after launch.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    /// Runs `event` once `seconds` later on the main thread.
    using Delay = std::function<void(double seconds, QObject* context, std::function<void()> event)>;

    static constexpr double backgroundCheckDelay = 5.0;

    AppDelegate(MainInterface interface, UpdaterConfiguration updates, QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Replaces how the background check is scheduled (tests run it by hand).
    void setDelay(Delay delay) { m_delay = std::move(delay); }
    /// Whether to put an icon with "show window" and "quit" in the system tray, where there is one.
    void setUsesTrayIcon(bool uses) { m_usesTrayIcon = uses; }

    /// Builds the main window with its menu and the updater, shows the window, then finishes launching.
    void launch();
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    /// The user opened the running application again. Brings the main window back, key and in front,
    /// when no window of the application is visible; always true.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    /// Another copy of the program was started: shows the main window, key and in front.
    void reopen();

    void showAbout();
    void openBBS();
    void openAppWeb();

    StandardUpdaterController* standardUpdater() const { return m_standardUpdater; }
    MXWindowController* windowController() const { return m_windowController.get(); }

private:
    void openLink(const QUrl& url);
    void buildMenu();
    void buildTrayIcon();

    MainInterface m_interface;
    UpdaterConfiguration m_updates;
    Delay m_delay;
    bool m_usesTrayIcon = false;
    std::unique_ptr<MXWindowController> m_windowController;
    QPointer<StandardUpdaterController> m_standardUpdater;
    QPointer<QSystemTrayIcon> m_trayIcon;
    std::unique_ptr<QMenu> m_trayMenu;
};

} // namespace morvex
