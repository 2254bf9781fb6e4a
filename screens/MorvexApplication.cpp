#include "MorvexApplication.h"

#include "AboutViewController.h"
#include "AppDelegate.h"
#include "AppImages.h"
#include "RootViewController.h"
#include "SingleInstance.h"

#include <QApplication>

namespace morvex {

int MorvexApplication::run(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Morvex"));
    // The app id: the desktop entry, the metainfo and the icons carry this name.
    QApplication::setDesktopFileName(QStringLiteral("app.morvex.Morvex"));
    QApplication::setWindowIcon(AppImages::named(QStringLiteral("AppIcon")));
    // Closing the main window leaves the program running; Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (instance.claim() == SingleInstance::Claim::forwarded)
        return 0;

    MainInterface interface;
    interface.makeRootViewController = [] { return new RootViewController(ScreenContext::standard()); };
    interface.makeAboutViewController = [](StandardUpdaterController* updater) {
        return new AboutViewController(updater);
    };
    AppDelegate delegate(std::move(interface), UpdaterConfiguration::standard());
    delegate.setUsesTrayIcon(true);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::reopen);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.launch();
    return QApplication::exec();
}

} // namespace morvex
