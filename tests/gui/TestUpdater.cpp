// The update check: reading the appcast, comparing versions, and the whole check against a server that the
// test runs on 127.0.0.1; what the user sees of each outcome.

#include "LocalHttpServer.h"
#include "RecordingUserDriver.h"
#include "StandardUpdaterController.h"
#include "Updater.h"
#include "VersionComparator.h"

#include <QSignalSpy>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

Q_DECLARE_METATYPE(UpdateCheckResult::Kind)

namespace {

const AppVersion running{QStringLiteral("1.2.0"), QStringLiteral("15")};

QByteArray item(const QByteArray& shortVersion, const QByteArray& version,
                const QByteArray& link = "https://morvex.app/download/")
{
    QByteArray text = "<item><title>Morvex " + shortVersion + "</title>";
    if (!link.isNull())
        text += "<link>" + link + "</link>";
    text += "<description>Notes for " + shortVersion + "</description>";
    if (!version.isNull())
        text += "<morvex:version>" + version + "</morvex:version>";
    if (!shortVersion.isNull())
        text += "<morvex:shortVersionString>" + shortVersion + "</morvex:shortVersionString>";
    return text + "</item>";
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

class TestUpdater : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionsAreOrderedAsPeopleRead_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("equal") << QStringLiteral("1.2.0") << QStringLiteral("1.2.0") << 0;
        QTest::newRow("numbers, not text: 1.10 after 1.9") << QStringLiteral("1.10") << QStringLiteral("1.9") << 1;
        QTest::newRow("a trailing zero changes nothing") << QStringLiteral("1.0") << QStringLiteral("1.0.0") << 0;
        QTest::newRow("an extra part is newer") << QStringLiteral("1.0.1") << QStringLiteral("1.0") << 1;
        QTest::newRow("a beta comes before its release") << QStringLiteral("2.0b1") << QStringLiteral("2.0") << -1;
        QTest::newRow("beta 2 after beta 1") << QStringLiteral("2.0b2") << QStringLiteral("2.0b1") << 1;
        QTest::newRow("build numbers") << QStringLiteral("15") << QStringLiteral("16") << -1;
        QTest::newRow("leading zeros") << QStringLiteral("1.02") << QStringLiteral("1.2") << 0;
        QTest::newRow("numbers longer than any integer") << QStringLiteral("1.123456789012345678901234567890")
                                                         << QStringLiteral("1.123456789012345678901234567889") << 1;
        QTest::newRow("separators other than dots") << QStringLiteral("1-2_3") << QStringLiteral("1.2.3") << 0;
    }

    void versionsAreOrderedAsPeopleRead()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(VersionComparator::compare(a, b), order);
        QCOMPARE(VersionComparator::compare(b, a), -order);
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
        QTest::newRow("an older version") << feed(item("1.1.0", "9")) << same << QString();
        QTest::newRow("a newer build of the same short version")
            << feed(item("1.2.0", "16")) << newer << QStringLiteral("1.2.0");
        QTest::newRow("an older short version with a larger build is not newer")
            << feed(item("1.1.9", "99")) << same << QString();
        QTest::newRow("the newest of several items, in any order")
            << feed(item("1.2.5", "17") + item("1.4.0", "20") + item("1.3.0", "18")) << newer
            << QStringLiteral("1.4.0");
        QTest::newRow("a channel without items") << feed("") << same << QString();
        QTest::newRow("an item without a version is left out")
            << feed(item("1.9.0", QByteArray()) + item("1.1.0", "9")) << same << QString();
        QTest::newRow("an item whose download page is not https is left out")
            << feed(item("1.9.0", "30", "http://morvex.app/download/") + item("1.1.0", "9")) << same << QString();
        QTest::newRow("only unusable items") << feed(item("1.9.0", "30", "javascript:alert(1)")) << failed << QString();
        QTest::newRow("broken XML") << QByteArray("<rss version=\"2.0\"><channel><item>") << failed << QString();
        QTest::newRow("not RSS") << QByteArray("<html><body>Hello</body></html>") << failed << QString();
        QTest::newRow("not XML at all") << QByteArray("{\"version\": \"9.9\"}") << failed << QString();
        QTest::newRow("an empty answer") << QByteArray() << failed << QString();
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

    void onlyHttpsOrLoopbackInTestsIsFollowed_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("loopbackAllowed");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("https") << QStringLiteral("https://morvex.app/appcast.xml") << false << true;
        QTest::newRow("plain http") << QStringLiteral("http://morvex.app/appcast.xml") << true << false;
        QTest::newRow("loopback http when tests allow it") << QStringLiteral("http://127.0.0.1:8080/a") << true << true;
        QTest::newRow("loopback http otherwise") << QStringLiteral("http://127.0.0.1:8080/a") << false << false;
        QTest::newRow("IPv6 loopback") << QStringLiteral("http://[::1]:8080/a") << true << true;
        QTest::newRow("a file") << QStringLiteral("file:///etc/passwd") << true << false;
        QTest::newRow("no host") << QStringLiteral("https:///appcast.xml") << false << false;
    }

    void onlyHttpsOrLoopbackInTestsIsFollowed()
    {
        QFETCH(QString, url);
        QFETCH(bool, loopbackAllowed);
        QFETCH(bool, allowed);
        QCOMPARE(Updater::isAllowedUrl(QUrl(url), loopbackAllowed), allowed);
    }

    void checksAgainstALocalServer_data()
    {
        QTest::addColumn<LocalHttpServer::Response>("response");
        QTest::addColumn<UpdateCheckResult::Kind>("kind");
        QTest::addColumn<QString>("error");
        const auto ok = [](QByteArray body) { return LocalHttpServer::Response{200, std::move(body), {}, -1, false}; };
        QTest::newRow("a newer version") << ok(feed(item("2.0.0", "30"))) << UpdateCheckResult::Kind::updateAvailable
                                         << QString();
        QTest::newRow("the same version")
            << ok(feed(item("1.2.0", "15"))) << UpdateCheckResult::Kind::upToDate << QString();
        QTest::newRow("an older version")
            << ok(feed(item("1.0.0", "3"))) << UpdateCheckResult::Kind::upToDate << QString();
        QTest::newRow("a malformed feed") << ok(QByteArray("<rss><channel><item>")) << UpdateCheckResult::Kind::failed
                                          << QString::fromUtf8(u8"更新信息格式不正确");
        QTest::newRow("a server error") << LocalHttpServer::Response{500, "oops", {}, -1, false}
                                        << UpdateCheckResult::Kind::failed
                                        << QString::fromUtf8(u8"服务器返回错误（HTTP 500）");
        QTest::newRow("a bad request") << LocalHttpServer::Response{400, "no", {}, -1, false}
                                       << UpdateCheckResult::Kind::failed
                                       << QString::fromUtf8(u8"服务器返回错误（HTTP 400）");
        QTest::newRow("a missing feed") << LocalHttpServer::Response{404, "gone", {}, -1, false}
                                        << UpdateCheckResult::Kind::failed
                                        << QString::fromUtf8(u8"服务器返回错误（HTTP 404）");
        QTest::newRow("a feed announced larger than allowed")
            << LocalHttpServer::Response{200, "", {}, 50 * 1024 * 1024, false} << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"更新信息过大");
        QTest::newRow("a feed larger than allowed without saying so")
            << ok(feed(QByteArray(2 * 1024 * 1024, ' '))) << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"更新信息过大");
        QTest::newRow("a server that never answers")
            << LocalHttpServer::Response{200, "", {}, -1, true} << UpdateCheckResult::Kind::failed
            << QString::fromUtf8(u8"连接超时");
        QTest::newRow("a redirect to another local path") << LocalHttpServer::Response{302, "", "/moved.xml", -1, false}
                                                          << UpdateCheckResult::Kind::updateAvailable << QString();
        QTest::newRow("a redirect loop") << LocalHttpServer::Response{302, "", "/loop.xml", -1, false}
                                         << UpdateCheckResult::Kind::failed << QString::fromUtf8(u8"重定向次数过多");
        QTest::newRow("a redirect to plain http elsewhere")
            << LocalHttpServer::Response{302, "", "http://example.invalid/appcast.xml", -1, false}
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
        server.route("/moved.xml", {200, feed(item("2.0.0", "30")), {}, -1, false});
        server.route("/loop.xml", {302, "", "/appcast.xml", -1, false});
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

    void anInsecureFeedIsNeverRequested()
    {
        LocalHttpServer server;
        server.route("/appcast.xml", {200, feed(item("2.0.0", "30")), {}, -1, false});
        UpdaterConfiguration configuration = configurationFor(server.url("/appcast.xml"));
        configuration.allowLoopbackHttp = false;
        Updater updater(configuration);
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.checkForUpdatesInBackground();
        QCOMPARE(finished.size(), 0); // reported after the call, like every other result
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished[0][0].value<UpdateCheckResult>().error, QString::fromUtf8(u8"更新地址不安全"));
        QCOMPARE(finished[0][1].toBool(), false);
        QVERIFY(server.requests().isEmpty());
    }

    void aUserCheckDuringABackgroundCheckJoinsIt()
    {
        LocalHttpServer server;
        server.route("/appcast.xml", {200, feed(item("1.2.0", "15")), {}, -1, false});
        Updater updater(configurationFor(server.url("/appcast.xml")));
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.checkForUpdatesInBackground();
        updater.checkForUpdates();
        QVERIFY(finished.wait(10000));
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][1].toBool(), true);
        QCOMPARE(server.requests().size(), 1);
    }

    void theUserSeesWhatTheCheckMeans_data()
    {
        QTest::addColumn<bool>("userInitiated");
        QTest::addColumn<LocalHttpServer::Response>("response");
        QTest::addColumn<QStringList>("shown");
        const auto ok = [](QByteArray body) { return LocalHttpServer::Response{200, std::move(body), {}, -1, false}; };
        const QString checking = QStringLiteral("checking");
        const QString dismiss = QStringLiteral("dismiss");
        QTest::newRow("background, newer: the offer")
            << false << ok(feed(item("2.0.0", "30"))) << QStringList{QStringLiteral("offer 2.0.0")};
        QTest::newRow("background, same: silent") << false << ok(feed(item("1.2.0", "15"))) << QStringList();
        QTest::newRow("background, server error: silent")
            << false << LocalHttpServer::Response{503, "", {}, -1, false} << QStringList();
        QTest::newRow("asked, newer: checking, then the offer")
            << true << ok(feed(item("2.0.0", "30"))) << QStringList{checking, dismiss, QStringLiteral("offer 2.0.0")};
        QTest::newRow("asked, same: checking, then up to date")
            << true << ok(feed(item("1.2.0", "15"))) << QStringList{checking, dismiss, QStringLiteral("up to date")};
        QTest::newRow("asked, malformed: checking, then a short error")
            << true << ok("garbage") << QStringList{checking, dismiss, QString::fromUtf8(u8"error 更新信息格式不正确")};
    }

    void theUserSeesWhatTheCheckMeans()
    {
        QFETCH(bool, userInitiated);
        QFETCH(LocalHttpServer::Response, response);
        QFETCH(QStringList, shown);

        LocalHttpServer server;
        server.route("/appcast.xml", response);
        QStringList log;
        StandardUpdaterController controller(configurationFor(server.url("/appcast.xml")),
                                             std::make_unique<RecordingUserDriver>(&log));
        QSignalSpy finished(controller.updater(), &Updater::checkFinished);
        if (userInitiated)
            controller.updater()->checkForUpdates();
        else
            controller.updater()->checkForUpdatesInBackground();
        QVERIFY(finished.wait(10000));
        QCOMPARE(log, shown);
    }

    void aCancelledCheckShowsNoResult()
    {
        LocalHttpServer server;
        server.route("/appcast.xml", {200, feed(item("1.2.0", "15")), {}, -1, false});
        QStringList log;
        auto driver = std::make_unique<RecordingUserDriver>(&log);
        RecordingUserDriver* recording = driver.get();
        StandardUpdaterController controller(configurationFor(server.url("/appcast.xml")), std::move(driver));
        QSignalSpy finished(controller.updater(), &Updater::checkFinished);
        controller.updater()->checkForUpdates();
        recording->cancel();
        QVERIFY(finished.wait(10000));
        QCOMPARE(log, QStringList{QStringLiteral("checking")});
    }
};

QTEST_MAIN(TestUpdater)
#include "TestUpdater.moc"
