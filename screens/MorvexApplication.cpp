#include "MorvexApplication.h"

#include "AboutViewController.h"
#include "AlertViewController.h"
#include "AppDelegate.h"
#include "AppImages.h"
#include "RootViewController.h"
#include "SingleInstance.h"
#include "Translations.h"

#include <QApplication>

#include <cstdio>

namespace morvex {

int MorvexApplication::run(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Morvex"));
    QApplication::setDesktopFileName(QStringLiteral("morvex"));
    QApplication::setWindowIcon(AppImages::named(QStringLiteral("AppIcon")));
    for (const QString& problem : installTranslations(uiLanguageFor(messagesLocaleName())))
        std::fprintf(stderr, "morvex: %s\n", qPrintable(problem));
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
    interface.linkFailed = [](const QUrl& url, QWidget* window) { AlertViewController::showLinkFailure(url, window); };
    AppDelegate delegate(std::move(interface), UpdaterConfiguration::standard());
    delegate.setUsesTrayIcon(true);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::reopen);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.launch();
    return QApplication::exec();
}

} // namespace morvex
