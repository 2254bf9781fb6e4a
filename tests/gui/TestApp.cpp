// The application around the screens: the delegate with its window, menu and delayed background check, the
// alert, the About sheet, one running copy per user, and the update check against a server on 127.0.0.1
// with what the user sees of each outcome.

#include "AboutViewController.h"
#include "AlertViewController.h"
#include "AppDelegate.h"
#include "LocalHttpServer.h"
#include "MXWindow.h"
#include "MXWindowController.h"
#include "NSTheme.h"
#include "RecordingUserDriver.h"
#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "SingleInstance.h"
#include "StandardUpdaterController.h"
#include "UIButton.h"
#include "UILabel.h"
#include "Updater.h"
#include "WebAddresses.h"
#include "Widgets.h"
#include "Workspace.h"

#include <QLocalSocket>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

const AppVersion running{QStringLiteral("1.2.0"), QStringLiteral("15")};

QByteArray item(const QByteArray& shortVersion, const QByteArray& version,
                const QByteArray& link = "https://morvex.app/download/")
{
    QByteArray text = "<item><title>Morvex " + shortVersion + "</title><link>" + link +
                      "</link><description>Notes for " + shortVersion + "</description>";
    if (!version.isNull())
        text += "<morvex:version>" + version + "</morvex:version>";
    return text + "<morvex:shortVersionString>" + shortVersion + "</morvex:shortVersionString></item>";
}

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:morvex=\"urn:morvex:appcast:1\"><channel><title>Morvex</title>" +
           items + "</channel></rss>";
}

UpdaterConfiguration configurationFor(const QUrl& url)
{
    UpdaterConfiguration configuration;
    configuration.feedUrl = url;
    configuration.current = running;
    configuration.allowLoopbackHttp = true;
    return configuration;
}

} // namespace

Q_DECLARE_METATYPE(UpdateCheckResult::Kind)

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHome(m_home); }

    void init()
    {
        m_fixture = std::make_unique<ScreenFixture>();
        m_scheduled.clear();
        m_abouts = 0;
        MainInterface interface;
        interface.makeRootViewController = [this] { return new RootViewController(m_fixture->context()); };
        interface.makeAboutViewController = [this](StandardUpdaterController* updater) {
            ++m_abouts;
            return new AboutViewController(updater);
        };
        UpdaterConfiguration updates;
        updates.current = AppVersion{QStringLiteral("1.0.0"), QStringLiteral("1")};
        // Refused before anything is sent: no test reaches the network.
        updates.feedUrl = QUrl(QStringLiteral("http://example.invalid/appcast.xml"));
        updates.preferences = &m_fixture->store();
        m_delegate = std::make_unique<AppDelegate>(std::move(interface), updates);
        m_delegate->setDelay([this](double seconds, QObject*, std::function<void()> event) {
            m_scheduled.emplace_back(seconds, std::move(event));
        });
        m_delegate->launch();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        m_opened.clear();
        m_opens = true;
        m_previousOpener = Workspace::shared().setOpener([this](const QUrl& url) {
            m_opened.append(url);
            return m_opens;
        });
    }

    void cleanup()
    {
        if (AlertViewController* alert = AlertViewController::current())
            alert->disappear();
        Workspace::shared().setOpener(m_previousOpener);
        m_delegate.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_fixture.reset();
    }

    void launchingShowsTheMainWindowAndItsMenu()
    {
        QCOMPARE(window()->windowTitle(), QStringLiteral("Morvex"));
        QVERIFY(qobject_cast<RootViewController*>(window()->centralWidget()));
        QStringList titles;
        for (QAction* menu : window()->menuBar()->actions()) {
            for (QAction* action : menu->menu()->actions()) {
                if (!action->isSeparator())
                    titles << action->text();
            }
        }
        QCOMPARE(titles, (QStringList{QString::fromUtf8(u8"关于 Morvex"), QString::fromUtf8(u8"Morvex 主页"),
                                      QString::fromUtf8(u8"Morvex 论坛"), QString::fromUtf8(u8"退出 Morvex")}));
    }

    void theBackgroundCheckRunsOnceFiveSecondsAfterLaunchUnlessSwitchedOff()
    {
        QCOMPARE(m_scheduled.size(), std::size_t(1));
        QCOMPARE(m_scheduled[0].first, 5.0);
        QSignalSpy started(m_delegate->standardUpdater()->updater(), &Updater::checkStarted);
        QSignalSpy finished(m_delegate->standardUpdater()->updater(), &Updater::checkFinished);
        m_scheduled[0].second();
        QCOMPARE(started.size(), 1);
        QCOMPARE(started[0][0].toBool(), false); // a background check
        QVERIFY(finished.wait(5000));
        QVERIFY(m_delegate->standardUpdater()->setAutomaticallyChecksForUpdates(false));
        m_scheduled[0].second();
        QCOMPARE(started.size(), 1);
    }

    void closingTheWindowLeavesItToBeBroughtBack()
    {
        window()->close();
        QVERIFY(!window()->isVisible());
        m_delegate->reopen();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
        QVERIFY(window()->isVisible());
        // A visible window is left as it is when the platform reports it.
        QVERIFY(m_delegate->applicationShouldHandleReopen(true));
        QVERIFY(window()->isVisible());
    }

    void aboutIsPresentedOverTheMainWindowEachTimeAnew()
    {
        QApplication::setActiveWindow(window());
        QVERIFY(QTest::qWaitForWindowActive(window()));
        m_delegate->showAbout();
        const auto abouts = window()->findChildren<AboutViewController*>();
        QVERIFY(m_abouts == 1 && abouts.size() == 1 && abouts[0]->isVisible());
        abouts[0]->disappear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_delegate->showAbout();
        QCOMPARE(m_abouts, 2);
    }

    void anAlertIsAnAccentSheetThatReplacesTheOneBeforeAndItsButtonCloses()
    {
        AlertViewController::show(QStringLiteral("first"), QString(), QStringLiteral("OK"), window());
        QPointer<AlertViewController> first = AlertViewController::current();
        AlertViewController::show(QStringLiteral("Title"), QStringLiteral("Detail"), QStringLiteral("Close"), window());
        QPointer<AlertViewController> alert = AlertViewController::current();
        QVERIFY(alert && alert != first && (!first || !first->isVisible()));
        QVERIFY(QTest::qWaitForWindowExposed(alert));
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(alert->parentWidget(), window());
        QCOMPARE(alert->titleLabel()->stringValue(), QStringLiteral("Title"));
        QCOMPARE(alert->msgLabel()->stringValue(), QStringLiteral("Detail"));
        QCOMPARE(alert->cancelBtn()->title(), QStringLiteral("Close"));
        const QImage image = grabWidget(*alert);
        QVERIFY2(sameColor(pixel(image, 5, 170), NSTheme::accent(), 1), qPrintable(describe(pixel(image, 5, 170))));
        QTest::mouseClick(alert->cancelBtn(), Qt::LeftButton);
        QVERIFY(!AlertViewController::current());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alert);
    }

    void aboutShowsTheVersionAndOpensTheLinks_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::newRow("a browser opens them") << true;
        QTest::newRow("no browser: an alert gives the address") << false;
    }

    void aboutShowsTheVersionAndOpensTheLinks()
    {
        QFETCH(bool, opens);
        m_opens = opens;
        auto* about = new AboutViewController(nullptr, AppVersion{QStringLiteral("2.10"), QStringLiteral("20261205")});
        about->presentAsSheet(window());
        QCOMPARE(about->versionLabel()->text(), QStringLiteral("V2.10(20261205)"));
        QVERIFY(about->backbtn()->isVisible());
        for (QPushButton* link : {about->bbsButton(), about->webButton()}) {
            QTest::mouseClick(link, Qt::LeftButton);
            AlertViewController* alert = AlertViewController::current();
            QCOMPARE(alert != nullptr, !opens);
            if (!alert)
                continue;
            QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"无法打开网页"));
            QVERIFY(alert->msgLabel()->stringValue().contains(m_opened.constLast().toString()));
            alert->disappear();
        }
        QCOMPARE(m_opened, (QList<QUrl>{WebAddresses::forum(), WebAddresses::homePage()}));
        QCOMPARE(WebAddresses::forum().scheme(), QStringLiteral("https"));
        QCOMPARE(WebAddresses::homePage().scheme(), QStringLiteral("https"));
        // Without an updater the update button does nothing.
        QTest::mouseClick(about->updateButton(), Qt::LeftButton);
        QVERIFY(about->isVisible());
        QCOMPARE(m_opened.size(), 2);
    }

    void aboutsSwitchRemembersWhetherToCheckAutomatically()
    {
        QStringList shown;
        QTemporaryDir folder;
        KeyValueStore store(QFile::encodeName(folder.filePath(QStringLiteral("settings.json"))).toStdString());
        UpdaterConfiguration configuration;
        configuration.preferences = &store;
        StandardUpdaterController updater(configuration, std::make_unique<RecordingUserDriver>(&shown));
        for (const bool expected : {true, false, true}) {
            auto* about = new AboutViewController(&updater);
            about->presentAsSheet(window());
            QCOMPARE(about->automaticChecksSwitch()->isChecked(), expected);
            QCOMPARE(updater.automaticallyChecksForUpdates(), expected);
            QTest::mouseClick(about->automaticChecksSwitch(), Qt::LeftButton);
            about->disappear();
        }
    }

    void aboutsUpdateButtonChecksWhereTheBuildAllowsIt_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("a check the user sees, refused before anything is sent") << true;
        QTest::newRow("a build without checks offers neither button nor switch") << false;
    }

    void aboutsUpdateButtonChecksWhereTheBuildAllowsIt()
    {
        QFETCH(bool, enabled);
        QStringList shown;
        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.route("/appcast.xml", {200, "<rss version=\"2.0\"><channel/></rss>"});
        UpdaterConfiguration configuration;
        configuration.enabled = enabled;
        configuration.current = AppVersion{QStringLiteral("1.0.0"), QStringLiteral("1")};
        // Plain http: refused unless loopback is allowed, which the disabled build may not use either.
        configuration.feedUrl = server.url("/appcast.xml");
        configuration.allowLoopbackHttp = !enabled;
        StandardUpdaterController updater(configuration, std::make_unique<RecordingUserDriver>(&shown));
        QSignalSpy finished(updater.updater(), &Updater::checkFinished);
        auto* about = new AboutViewController(&updater);
        about->presentAsSheet(window());
        QCOMPARE(about->updateButton()->isVisible(), enabled);
        QCOMPARE(about->automaticChecksSwitch() != nullptr, enabled);
        QCOMPARE(updater.automaticallyChecksForUpdates(), enabled);
        if (enabled)
            QTest::mouseClick(about->updateButton(), Qt::LeftButton);
        else
            updater.updater()->checkForUpdates();
        QVERIFY(finished.wait(5000));
        if (enabled)
            QCOMPARE(shown.mid(0, 2), (QStringList{QStringLiteral("checking"), QStringLiteral("dismiss")}));
        QVERIFY(shown.last().startsWith(QStringLiteral("error ")));
        QVERIFY(server.requests().isEmpty());
    }

    void theFirstCopyListensAndALaterOneHandsOver()
    {
        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("morvex.socket"));
        QVERIFY(!SingleInstance::activateRunning(socket, 500)); // nobody running yet
        SingleInstance first(socket);
        QCOMPARE(first.claim(), SingleInstance::Claim::primary);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);

        // Other messages are ignored.
        for (const QByteArray& message : {QByteArrayLiteral("quit\n"), QByteArray(4096, 'a')}) {
            QLocalSocket client;
            client.connectToServer(socket);
            QVERIFY(client.waitForConnected(5000));
            client.write(message);
            QVERIFY(client.waitForBytesWritten(5000));
            client.disconnectFromServer();
        }
        SingleInstance second(socket);
        QCOMPARE(second.claim(), SingleInstance::Claim::forwarded);
        QVERIFY(activations.wait(5000));
        QTest::qWait(50);
        QCOMPARE(activations.size(), 1);
    }

    void aFeedIsJudgedAgainstTheRunningVersion_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<UpdateCheckResult::Kind>("kind");
        QTest::addColumn<QString>("offered");
        const auto newer = UpdateCheckResult::Kind::updateAvailable;
        const auto same = UpdateCheckResult::Kind::upToDate;
        const auto failed = UpdateCheckResult::Kind::failed;
        QTest::newRow("a newer short version") << feed(item("1.3.0", "16")) << newer << QStringLiteral("1.3.0");
        QTest::newRow("the same version") << feed(item("1.2.0", "15")) << same << QString();
        QTest::newRow("numbers, not text: 1.10 after 1.2")
            << feed(item("1.10", "16")) << newer << QStringLiteral("1.10");
        QTest::newRow("a beta comes before its release") << feed(item("1.2.0b1", "14")) << same << QString();
        QTest::newRow("a newer build of the same short version")
            << feed(item("1.2.0", "16")) << newer << QStringLiteral("1.2.0");
        QTest::newRow("an older short version with a larger build is not newer")
            << feed(item("1.1.9", "99")) << same << QString();
        QTest::newRow("the newest of several items, in any order")
            << feed(item("1.2.5", "17") + item("1.4.0", "20") + item("1.3.0", "18")) << newer
            << QStringLiteral("1.4.0");
        QTest::newRow("an item without a version is left out")
            << feed(item("1.9.0", QByteArray()) + item("1.1.0", "9")) << same << QString();
        QTest::newRow("an item whose download page is not https is left out")
            << feed(item("1.9.0", "30", "http://morvex.app/download/") + item("1.1.0", "9")) << same << QString();
        QTest::newRow("only unusable items") << feed(item("1.9.0", "30", "javascript:alert(1)")) << failed << QString();
        QTest::newRow("broken XML") << QByteArray("<rss version=\"2.0\"><channel><item>") << failed << QString();
    }

    void aFeedIsJudgedAgainstTheRunningVersion()
    {
        QFETCH(QByteArray, document);
        QFETCH(UpdateCheckResult::Kind, kind);
        QFETCH(QString, offered);
        const UpdateCheckResult result = Updater::evaluate(document, running, false);
        QCOMPARE(result.kind, kind);
        if (kind == UpdateCheckResult::Kind::updateAvailable) {
            QCOMPARE(result.item.shortVersion, offered);
            QCOMPARE(result.item.link, QUrl(QStringLiteral("https://morvex.app/download/")));
            QCOMPARE(result.item.notes, QStringLiteral("Notes for ") + offered);
        }
        if (kind == UpdateCheckResult::Kind::failed)
            QCOMPARE(result.error, QString::fromUtf8(u8"更新信息格式不正确"));
    }

    void checksAgainstALocalServer_data()
    {
        QTest::addColumn<LocalHttpServer::Response>("response");
        QTest::addColumn<UpdateCheckResult::Kind>("kind");
        QTest::addColumn<QString>("error");
        const auto ok = [](QByteArray body) { return LocalHttpServer::Response{200, std::move(body)}; };
        QTest::newRow("a newer version") << ok(feed(item("2.0.0", "30"))) << UpdateCheckResult::Kind::updateAvailable
                                         << QString();
        QTest::newRow("a server error") << LocalHttpServer::Response{500, "oops"} << UpdateCheckResult::Kind::failed
                                        << QString::fromUtf8(u8"服务器返回错误（HTTP 500）");
        QTest::newRow("a feed announced larger than allowed")
            << LocalHttpServer::Response{200, "", {}, 50LL * 1024 * 1024, false} << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"更新信息过大");
        QTest::newRow("a feed larger than allowed without saying so")
            << ok(feed(QByteArray(2LL * 1024 * 1024, ' '))) << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"更新信息过大");
        QTest::newRow("a server that never answers")
            << LocalHttpServer::Response{200, "", {}, -1, true} << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"连接超时");
        QTest::newRow("a redirect to another local path") << LocalHttpServer::Response{302, "", "/moved.xml"}
                                                          << UpdateCheckResult::Kind::updateAvailable << QString();
        QTest::newRow("a redirect loop") << LocalHttpServer::Response{302, "", "/loop.xml"}
                                         << UpdateCheckResult::Kind::failed << QString::fromUtf8(u8"重定向次数过多");
        QTest::newRow("a redirect to plain http elsewhere")
            << LocalHttpServer::Response{302, "", "http://example.invalid/appcast.xml"}
            << UpdateCheckResult::Kind::failed << QString::fromUtf8(u8"更新地址不安全");
    }

    void checksAgainstALocalServer()
    {
        QFETCH(LocalHttpServer::Response, response);
        QFETCH(UpdateCheckResult::Kind, kind);
        QFETCH(QString, error);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.route("/appcast.xml", response);
        server.route("/moved.xml", {200, feed(item("2.0.0", "30"))});
        server.route("/loop.xml", {302, "", "/appcast.xml"});
        UpdaterConfiguration configuration = configurationFor(server.url("/appcast.xml"));
        configuration.timeout = std::chrono::milliseconds(300);
        Updater updater(configuration);
        QSignalSpy finished(&updater, &Updater::checkFinished);

        updater.checkForUpdates();
        QVERIFY(updater.isChecking());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.size(), 1);
        const auto result = finished[0][0].value<UpdateCheckResult>();
        QCOMPARE(result.kind, kind);
        QCOMPARE(result.error, error);
        QCOMPARE(finished[0][1].toBool(), true);
        QVERIFY(!updater.isChecking());
        QVERIFY(!server.requests().isEmpty());
        QVERIFY(server.requests().size() <= configuration.maxRedirects + 1);
    }

    void theUserSeesWhatTheCheckMeans_data()
    {
        QTest::addColumn<bool>("userInitiated");
        QTest::addColumn<LocalHttpServer::Response>("response");
        QTest::addColumn<QStringList>("shown");
        const auto ok = [](QByteArray body) { return LocalHttpServer::Response{200, std::move(body)}; };
        const QString checking = QStringLiteral("checking");
        const QString dismiss = QStringLiteral("dismiss");
        QTest::newRow("background, newer: the offer")
            << false << ok(feed(item("2.0.0", "30"))) << QStringList{QStringLiteral("offer 2.0.0")};
        QTest::newRow("background, same: silent") << false << ok(feed(item("1.2.0", "15"))) << QStringList();
        QTest::newRow("asked, newer: checking, then the offer")
            << true << ok(feed(item("2.0.0", "30"))) << QStringList{checking, dismiss, QStringLiteral("offer 2.0.0")};
        QTest::newRow("asked, same: checking, then up to date")
            << true << ok(feed(item("1.2.0", "15"))) << QStringList{checking, dismiss, QStringLiteral("up to date")};
        QTest::newRow("asked, malformed: checking, then a short error")
            << true << ok("garbage") << QStringList{checking, dismiss, QString::fromUtf8(u8"error 更新信息格式不正确")};
        QTest::newRow("asked and cancelled: no result")
            << true << ok(feed(item("1.2.0", "15"))) << QStringList{checking};
    }

    void theUserSeesWhatTheCheckMeans()
    {
        QFETCH(bool, userInitiated);
        QFETCH(LocalHttpServer::Response, response);
        QFETCH(QStringList, shown);
        LocalHttpServer server;
        server.route("/appcast.xml", response);
        QStringList log;
        auto driver = std::make_unique<RecordingUserDriver>(&log);
        RecordingUserDriver* recording = driver.get();
        StandardUpdaterController controller(configurationFor(server.url("/appcast.xml")), std::move(driver));
        QSignalSpy finished(controller.updater(), &Updater::checkFinished);
        if (userInitiated)
            controller.updater()->checkForUpdates();
        else
            controller.updater()->checkForUpdatesInBackground();
        if (shown.size() == 1 && userInitiated)
            recording->cancel();
        QVERIFY(finished.wait(10000));
        QCOMPARE(log, shown);
    }

private:
    MXWindow* window() const { return m_delegate->windowController()->window(); }

    QTemporaryDir m_home;
    std::unique_ptr<ScreenFixture> m_fixture;
    std::unique_ptr<AppDelegate> m_delegate;
    std::vector<std::pair<double, std::function<void()>>> m_scheduled; // delayed calls
    int m_abouts = 0;
    QList<QUrl> m_opened;
    bool m_opens = true;
    Workspace::Opener m_previousOpener;
};

QTEST_MAIN(TestApp)
#include "TestApp.moc"
