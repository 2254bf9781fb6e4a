#include "Gallery.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Every control of the Morvex widget kit in each state."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the gallery to <file> (PNG) and exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption at(QStringLiteral("at"),
                                QStringLiteral("Stop the ring animations at <ms> for the picture (default 500)."),
                                QStringLiteral("ms"), QStringLiteral("500"));
    parser.addOption(screenshot);
    parser.addOption(at);
    parser.process(app);

    morvex::Gallery gallery;
    gallery.show();
    gallery.activateWindow();

    if (!parser.isSet(screenshot)) {
        QTimer::singleShot(0, &gallery, [&gallery] { gallery.applyInteractiveStates(); });
        return QApplication::exec();
    }
    const QString file = parser.value(screenshot);
    const int ms = parser.value(at).toInt();
    int status = 1;
    QTimer::singleShot(200, &gallery, [&] {
        gallery.applyInteractiveStates();
        gallery.freezeAnimations(ms);
        QApplication::processEvents();
        status = gallery.grab().save(file, "PNG") ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
