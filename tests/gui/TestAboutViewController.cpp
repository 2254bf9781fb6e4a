// The About sheet: the version text, the back button, the update check and the two links.

#include "AboutViewController.h"
#include "AlertViewController.h"
#include "HostWindow.h"
#include "LocalHttpServer.h"
#include "RecordingUserDriver.h"
#include "StandardUpdaterController.h"
#include "WebAddresses.h"
#include "Workspace.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

class TestAboutViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_host = test::shownHostWindow(800, 600);
        QVERIFY(m_host);
        m_opened.clear();
        m_opens = true;
        m_previousOpener = Workspace::shared().setOpener([this](const QUrl& url) {
            m_opened.append(url);
            return m_opens;
        });
    }

    void cleanup()
    {
        Workspace::shared().setOpener(m_previousOpener);
        m_host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void showsTheVersionAndBuild_data()
    {
        QTest::addColumn<QString>("shortVersion");
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a release with its build number")
            << QStringLiteral("1.2.0") << QStringLiteral("15") << QStringLiteral("V1.2.0(15)");
        QTest::newRow("the first build") << QStringLiteral("1.0.0") << QStringLiteral("1")
                                         << QStringLiteral("V1.0.0(1)");
        QTest::newRow("a two-part version and a long build")
            << QStringLiteral("2.10") << QStringLiteral("20261205") << QStringLiteral("V2.10(20261205)");
    }

    void showsTheVersionAndBuild()
    {
        QFETCH(QString, shortVersion);
        QFETCH(QString, build);
        QFETCH(QString, shown);
        auto* about = new AboutViewController(nullptr, AppVersion{shortVersion, build});
        about->presentAsSheet(m_host.get());
        QCOMPARE(about->versionLabel()->text(), shown);
        QVERIFY(about->backbtn()->isVisible());
    }

    void eachAboutSheetIsItsOwnWithOneBackButton()
    {
        auto* first = new AboutViewController(nullptr);
        first->presentAsSheet(m_host.get());
        first->disappear();
        auto* second = new AboutViewController(nullptr);
        second->presentAsSheet(m_host.get());
        QVERIFY(first != second);
        QCOMPARE(second->view()->findChildren<QPushButton*>().count(second->backbtn()), 1);
        QVERIFY(second->backbtn()->isVisible());
    }

    void theLinksOpenForumAndHomePage_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::newRow("a browser opens them") << true;
        QTest::newRow("no browser: an alert gives the address") << false;
    }

    void theLinksOpenForumAndHomePage()
    {
        QFETCH(bool, opens);
        m_opens = opens;
        auto* about = new AboutViewController(nullptr);
        about->presentAsSheet(m_host.get());
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
        QVERIFY(WebAddresses::forum() != WebAddresses::homePage());
        QCOMPARE(WebAddresses::forum().scheme(), QStringLiteral("https"));
        QCOMPARE(WebAddresses::homePage().scheme(), QStringLiteral("https"));
    }

    void theUpdateButtonStartsACheckTheUserSees()
    {
        QStringList shown;
        UpdaterConfiguration configuration;
        configuration.current = AppVersion{QStringLiteral("1.0.0"), QStringLiteral("1")};
        // Not https: refused before anything is sent, so the check ends at once with an error.
        configuration.feedUrl = QUrl(QStringLiteral("http://example.invalid/appcast.xml"));
        StandardUpdaterController updater(configuration, std::make_unique<RecordingUserDriver>(&shown));
        QSignalSpy finished(updater.updater(), &Updater::checkFinished);

        auto* about = new AboutViewController(&updater);
        about->presentAsSheet(m_host.get());
        QTest::mouseClick(about->updateButton(), Qt::LeftButton);
        QVERIFY(finished.wait(5000));
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0], QStringLiteral("checking"));
        QCOMPARE(shown[1], QStringLiteral("dismiss"));
        QVERIFY(shown[2].startsWith(QStringLiteral("error ")));
    }

    void theSwitchRemembersWhetherToCheckAutomatically()
    {
        QStringList shown;
        QTemporaryDir folder;
        KeyValueStore store(QFile::encodeName(folder.filePath(QStringLiteral("settings.json"))).toStdString());
        UpdaterConfiguration configuration;
        configuration.preferences = &store;
        StandardUpdaterController updater(configuration, std::make_unique<RecordingUserDriver>(&shown));
        for (const bool expected : {true, false, true}) {
            auto* about = new AboutViewController(&updater);
            about->presentAsSheet(m_host.get());
            QCOMPARE(about->automaticChecksSwitch()->isChecked(), expected);
            QCOMPARE(updater.automaticallyChecksForUpdates(), expected);
            QTest::mouseClick(about->automaticChecksSwitch(), Qt::LeftButton);
            about->disappear();
        }
    }

    void aBuildWithoutChecksOffersNeitherButtonNorSwitchAndFetchesNothing()
    {
        QStringList shown;
        UpdaterConfiguration configuration;
        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.route("/appcast.xml", {200, "<rss version=\"2.0\"><channel/></rss>", {}, -1, false});
        configuration.enabled = false;
        configuration.allowLoopbackHttp = true;
        configuration.feedUrl = server.url("/appcast.xml");
        StandardUpdaterController updater(configuration, std::make_unique<RecordingUserDriver>(&shown));
        auto* about = new AboutViewController(&updater);
        about->presentAsSheet(m_host.get());
        QVERIFY(!about->updateButton()->isVisible());
        QVERIFY(!about->automaticChecksSwitch());
        QVERIFY(about->webButton()->isVisible());
        QVERIFY(!updater.automaticallyChecksForUpdates());
        QSignalSpy finished(updater.updater(), &Updater::checkFinished);
        updater.updater()->checkForUpdates();
        QVERIFY(finished.wait(5000));
        QVERIFY(shown.last().startsWith(QStringLiteral("error ")));
        QVERIFY(server.requests().isEmpty());
    }

    void withoutAnUpdaterTheButtonDoesNothing()
    {
        auto* about = new AboutViewController(nullptr);
        about->presentAsSheet(m_host.get());
        QTest::mouseClick(about->updateButton(), Qt::LeftButton);
        QVERIFY(about->isVisible());
        QVERIFY(m_opened.isEmpty());
    }

private:
    std::unique_ptr<QWidget> m_host;
    QList<QUrl> m_opened;
    bool m_opens = true;
    Workspace::Opener m_previousOpener;
};

QTEST_MAIN(TestAboutViewController)
#include "TestAboutViewController.moc"
