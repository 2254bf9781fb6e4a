#include "AppDelegate.h"

#include "App.h"
#include "AppImages.h"
#include "Async.h"
#include "MXBaseViewController.h"
#include "MXWindow.h"
#include "MXWindowController.h"
#include "StandardUpdaterController.h"
#include "StandardUserDriver.h"
#include "UIViewController.h"
#include "WebAddresses.h"
#include "Workspace.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>

namespace morvex {

AppDelegate::AppDelegate(MainInterface interface, UpdaterConfiguration updates, QObject* parent)
    : QObject(parent), m_interface(std::move(interface)), m_updates(std::move(updates)),
      m_delay([](double seconds, QObject* context, std::function<void()> event) {
          Async::delay(seconds, context, std::move(event));
      })
{}

AppDelegate::~AppDelegate()
{
    delete m_trayIcon.data();
}

void AppDelegate::launch()
{
    if (!m_windowController) {
        MXBaseViewController* root =
            m_interface.makeRootViewController ? m_interface.makeRootViewController() : nullptr;
        m_windowController = std::make_unique<MXWindowController>(root);
        m_standardUpdater = new StandardUpdaterController(m_updates, std::make_unique<StandardUserDriver>(), this);
        buildMenu();
        if (m_usesTrayIcon)
            buildTrayIcon();
    }
    m_windowController->showWindow();
    applicationDidFinishLaunching();
}

void AppDelegate::applicationDidFinishLaunching()
{
    App::shared();
    m_delay(backgroundCheckDelay, this, [this] {
        if (!m_standardUpdater || !m_standardUpdater->automaticallyChecksForUpdates())
            return;
        if (Updater* updater = m_standardUpdater->updater())
            updater->checkForUpdatesInBackground();
    });
}

void AppDelegate::applicationWillTerminate() {}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (hasVisibleWindows)
        return true;
    if (m_windowController)
        m_windowController->showWindow();
    return true;
}

void AppDelegate::reopen()
{
    // Starting the program again is a plain request for its window: bring it back even when it is only
    // hidden behind other windows.
    if (m_windowController)
        m_windowController->showWindow();
}

void AppDelegate::showAbout()
{
    QWidget* key = QApplication::activeWindow();
    if (!key)
        return;
    // The key window may be a sheet over the main window; the About sheet goes over the main window.
    while (key && !qobject_cast<MXWindow*>(key))
        key = key->parentWidget() ? key->parentWidget()->window() : nullptr;
    auto* window = qobject_cast<MXWindow*>(key);
    QWidget* content = window ? window->centralWidget() : nullptr;
    if (!content || !m_interface.makeAboutViewController)
        return;
    if (UIViewController* about = m_interface.makeAboutViewController(m_standardUpdater))
        about->presentAsSheet(content);
}

void AppDelegate::openBBS()
{
    openLink(WebAddresses::forum());
}

void AppDelegate::openLink(const QUrl& url)
{
    if (!Workspace::shared().openURL(url) && m_interface.linkFailed)
        m_interface.linkFailed(url, m_windowController ? m_windowController->window() : nullptr);
}

void AppDelegate::openAppWeb()
{
    openLink(WebAddresses::homePage());
}

void AppDelegate::buildMenu()
{
    MXWindow* window = m_windowController->window();
    QMenu* menu = window->menuBar()->addMenu(QStringLiteral("Morvex"));
    QAction* about = menu->addAction(tr("关于 Morvex"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &AppDelegate::showAbout);
    menu->addSeparator();
    QAction* home = menu->addAction(tr("Morvex 主页"));
    connect(home, &QAction::triggered, this, &AppDelegate::openAppWeb);
    QAction* forum = menu->addAction(tr("Morvex 论坛"));
    connect(forum, &QAction::triggered, this, &AppDelegate::openBBS);
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("退出 Morvex"));
    quit->setMenuRole(QAction::QuitRole);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q)); // some keyboard schemes bind nothing to Quit
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void AppDelegate::buildTrayIcon()
{
    // Without a Dock, a closed window would leave no way back but starting the program again; a tray icon,
    // where the desktop has a tray, gives one.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayMenu = std::make_unique<QMenu>();
    QAction* show = m_trayMenu->addAction(tr("显示 Morvex"));
    connect(show, &QAction::triggered, this, [this] { applicationShouldHandleReopen(false); });
    QAction* quit = m_trayMenu->addAction(tr("退出 Morvex"));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    m_trayIcon = new QSystemTrayIcon(AppImages::named(QStringLiteral("AppIcon")), this);
    m_trayIcon->setToolTip(QStringLiteral("Morvex"));
    m_trayIcon->setContextMenu(m_trayMenu.get());
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            applicationShouldHandleReopen(false);
    });
    m_trayIcon->show();
}

} // namespace morvex
