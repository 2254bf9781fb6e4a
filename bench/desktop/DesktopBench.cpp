// Times the desktop program where a user waits: from start to the shown main window, pasting a 10 MB
// document into the JSON view, and from pressing "确定" to the filled code view. Also gives the memory the
// pasted text costs and the processor time the idle window takes with the cursor in that text. Optionally
// saves pictures of the window, the settings sheet, an alert and About (for the README).
//
//   morvex-bench-desktop [--runs N] [--screenshots FOLDER]
//   morvex-bench-desktop --document FILE [--objc] [--screenshots FOLDER]   converts FILE through the window
//                      instead, confirming the question asked before many types are written

#include "AboutViewController.h"
#include "AlertViewController.h"
#include "AppDelegate.h"
#include "MXWindow.h"
#include "MXWindowController.h"
#include "RootViewController.h"
#include "SettingViewController.h"
#include "UIButton.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>

using namespace morvex;

namespace {

const char* const sample = R"({"name":"Ann","age":30,"score":9.5,"vip":true,"memo":null,"address":{"city":"Oslo"},)"
                           R"("tags":["a"],"orders":[{"id":1,"total":12.5}]})";

// About 10 MB of pretty-printed JSON: a few nested objects and a long array of records.
QString largeDocument(qsizetype targetBytes, bool pretty)
{
    const QString nl = pretty ? QStringLiteral("\n") : QString();
    const QString in = pretty ? QStringLiteral("    ") : QString();
    QString text = QStringLiteral("{") + nl + in + QStringLiteral("\"meta\": {\"page\": 1, \"source\": \"bench\"},") +
                   nl + in + QStringLiteral("\"items\": [") + nl;
    int id = 0;
    while (text.size() < targetBytes) {
        if (id > 0)
            text += QStringLiteral(",") + nl;
        text += in + in +
                QStringLiteral("{\"id\": %1, \"name\": \"item %1\", \"price\": %2, \"tags\": [\"a\", \"b\"], "
                               "\"owner\": {\"name\": \"Ann\", \"city\": \"Oslo\"}, \"note\": \"%3\"}")
                    .arg(id)
                    .arg(id * 1.25)
                    .arg(QString(40, QLatin1Char('x')));
        ++id;
    }
    text += nl + in + QStringLiteral("]") + nl + QStringLiteral("}") + nl;
    return text;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Resident memory now, in MB.
double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / 1e6 : 0;
}

double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `ms` and answers the share of one core the process used meanwhile.
double idleLoad(int ms)
{
    const double before = processSeconds();
    QTest::qWait(ms);
    return (processSeconds() - before) * 1000.0 / ms;
}

// Later runs reuse the memory the earlier text left free, so the first run's growth is the one to give.
double largest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void save(QWidget* widget, const QString& folder, const QString& name)
{
    if (folder.isEmpty() || !widget)
        return;
    widget->grab().save(QDir(folder).filePath(name));
    std::printf("saved %s\n", qPrintable(QDir(folder).filePath(name)));
}

// Pastes the document into the window, converts it into `output` and gives the time and memory it took.
int convertDocument(RootViewController* root, const QString& path, bool objectiveC, const QString& screenshots)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    root->jsonTextView()->setText(QString::fromUtf8(file.readAll()));
    settle();
    QTest::mouseClick(root->convetBtn(), Qt::LeftButton);
    SettingViewController* setting = root->presentedSetting();
    if (!QTest::qWaitForWindowExposed(setting))
        return 1;
    QTest::mouseClick(setting->pathBtn(), Qt::LeftButton);
    if (objectiveC)
        QTest::mouseClick(setting->ocBtn(), Qt::LeftButton);
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(setting->doBtn(), Qt::LeftButton);
    if (AlertViewController* alert = AlertViewController::current(); alert && alert->confirmBtn())
        QTest::mouseClick(alert->confirmBtn(), Qt::LeftButton);
    root->codeTextView()->viewport()->repaint();
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (AlertViewController* alert = AlertViewController::current())
        std::printf("alert: %s\n", qPrintable(alert->titleLabel()->stringValue()));
    std::printf("confirm to filled code view %.1f ms, %lld characters shown, resident %.0f MB\n", elapsed,
                static_cast<long long>(root->codeTextView()->document()->characterCount()), residentMB());
    root->codeTextView()->moveCursor(QTextCursor::End);
    settle();
    save(root->window(), screenshots, QStringLiteral("document.png"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();

    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    int runs = 5;
    QString screenshots;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == u"--runs")
            runs = std::max(1, arguments[i + 1].toInt());
        else if (arguments[i] == u"--screenshots")
            screenshots = arguments[i + 1];
    }

    QTemporaryDir scratch;
    KeyValueStore store(QFile::encodeName(scratch.filePath(QStringLiteral("settings.json"))).toStdString());
    const QString output = scratch.filePath(QStringLiteral("out"));
    QDir().mkpath(output);
    ScreenContext context;
    context.store = &store;
    context.date = &MXDate::shared();
    context.chooseFolder = [output](QWidget*, const QString&) { return std::optional<QString>(output); };

    MainInterface interface;
    interface.makeRootViewController = [&context] { return new RootViewController(context); };
    interface.makeAboutViewController = [](StandardUpdaterController* updater) {
        return new AboutViewController(updater);
    };
    UpdaterConfiguration updates = UpdaterConfiguration::standard();
    AppDelegate delegate(std::move(interface), updates);
    delegate.setDelay([](double, QObject*, const std::function<void()>&) {}); // no update check while timing
    delegate.launch();
    MXWindow* window = delegate.windowController()->window();
    if (!QTest::qWaitForWindowExposed(window, 10000)) {
        std::fprintf(stderr, "the main window was not shown\n");
        return 1;
    }
    const double startToWindow = static_cast<double>(sinceStart.nsecsElapsed()) / 1e6;
    std::printf("start to shown window: %.1f ms (platform %s)\n", startToWindow,
                qPrintable(QGuiApplication::platformName()));

    auto* root = qobject_cast<RootViewController*>(window->centralWidget());
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--document")); at > 0 && at + 1 < arguments.size())
        return convertDocument(root, arguments[at + 1], arguments.contains(QStringLiteral("--objc")), screenshots);

    // The sample through the real window, for the pictures.
    root->jsonTextView()->setPlainText(QString::fromUtf8(sample));
    QTest::mouseClick(root->convetBtn(), Qt::LeftButton);
    SettingViewController* sheet = root->presentedSetting();
    if (!QTest::qWaitForWindowExposed(sheet))
        return 1;
    QTest::mouseClick(sheet->ocBtn(), Qt::LeftButton);
    QTest::mouseClick(sheet->configBtn().at(1), Qt::LeftButton);
    QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
    settle();
    save(sheet, screenshots, QStringLiteral("settings-sheet.png"));
    QTest::mouseClick(sheet->swiftBtn(), Qt::LeftButton);
    QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);
    settle();
    save(window, screenshots, QStringLiteral("main-window.png"));

    root->jsonTextView()->clear();
    QTest::mouseClick(root->convetBtn(), Qt::LeftButton);
    settle();
    save(AlertViewController::current(), screenshots, QStringLiteral("alert.png"));
    if (AlertViewController::current())
        AlertViewController::current()->disappear();
    settle();

    QApplication::setActiveWindow(window);
    delegate.showAbout();
    settle();
    if (auto* about = window->findChild<AboutViewController*>()) {
        save(about, screenshots, QStringLiteral("about.png"));
        about->disappear();
    }
    settle();

    for (const bool pretty : {true, false}) {
        const QString document = largeDocument(qsizetype{10} * 1024 * 1024, pretty);
        const double megabytes = static_cast<double>(document.toUtf8().size()) / 1e6;
        std::vector<double> paste;
        std::vector<double> confirm;
        std::vector<double> growth;
        std::vector<double> load;
        for (int run = 0; run < runs; ++run) {
            QPlainTextEdit* view = root->jsonTextView();
            view->clear();
            settle();
            const double residentBefore = residentMB();
            auto* data = new QMimeData;
            data->setText(document);
            QGuiApplication::clipboard()->setMimeData(data);
            view->setFocus();
            QElapsedTimer timer;
            timer.start();
            view->paste();
            view->viewport()->repaint();
            paste.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            QGuiApplication::clipboard()->clear();
            settle();
            growth.push_back(residentMB() - residentBefore);
            // The cursor blinks in the middle of the text while nothing else happens.
            QTextCursor cursor = view->textCursor();
            cursor.setPosition(view->document()->characterCount() / 2);
            view->setTextCursor(cursor);
            view->ensureCursorVisible();
            settle();
            load.push_back(idleLoad(2000));

            QTest::mouseClick(root->convetBtn(), Qt::LeftButton);
            SettingViewController* setting = root->presentedSetting();
            if (!QTest::qWaitForWindowExposed(setting))
                return 1;
            QTest::mouseClick(setting->pathBtn(), Qt::LeftButton);
            root->codeTextView()->clear();
            timer.restart();
            QTest::mouseClick(setting->doBtn(), Qt::LeftButton);
            root->codeTextView()->viewport()->repaint();
            confirm.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (root->codeTextView()->document()->isEmpty()) {
                std::fprintf(stderr, "the code view stayed empty\n");
                return 1;
            }
            settle();
        }
        std::printf(
            "%s document, %.1f MB: paste %.1f ms, memory +%.0f MB (%.1f x, the largest), idle with the cursor in it "
            "%.0f %% of a core, confirm to filled code view %.1f ms (median of %d)\n",
            pretty ? "pretty-printed" : "one-line", megabytes, median(paste), largest(growth),
            largest(growth) / megabytes, median(load) * 100, median(confirm), runs);
    }
    return 0;
}
