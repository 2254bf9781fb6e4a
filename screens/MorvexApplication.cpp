#include "MorvexApplication.h"

#include "AboutViewController.h"
#include "AlertViewController.h"
#include "AppDelegate.h"
#include "AppImages.h"
#include "RootViewController.h"
#include "SingleInstance.h"
#include "SystemFont.h"
#include "Translations.h"

#include <QApplication>

#include <cstdio>

namespace morvex {

int MorvexApplication::run(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Morvex"));
    // The app id: the desktop entry, the metainfo and the icons carry this name.
    QApplication::setDesktopFileName(QStringLiteral("app.morvex.Morvex"));
    QApplication::setWindowIcon(AppImages::named(QStringLiteral("AppIcon")));
    const UiLanguage language = uiLanguageFor(messagesLocaleName());
    for (const QString& problem : installTranslations(language))
        std::fprintf(stderr, "morvex: %s\n", qPrintable(problem));
    if (language == UiLanguage::chinese && !fontDraws(SystemFont::at(16), QString::fromUtf8(u8"转换代码输出路径")))
        std::fprintf(stderr, "morvex: no installed font has Chinese characters, so the texts show as boxes; install "
                             "a CJK font such as fonts-wqy-microhei, or start Morvex under an English locale\n");
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
