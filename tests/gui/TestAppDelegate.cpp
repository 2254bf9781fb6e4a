// The application delegate: the main window and menu, the delayed background check, reopening, About and
// the web links.

#include "AboutViewController.h"
#include "AppDelegate.h"
#include "MXWindow.h"
#include "MXWindowController.h"
#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "WebAddresses.h"
#include "Workspace.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

struct ScheduledCall
{
    double seconds = 0;
    std::function<void()> event;
};

} // namespace

class TestAppDelegate : public QObject
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
            m_scheduled.push_back({seconds, std::move(event)});
        });
        m_delegate->launch();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }

    void cleanup()
    {
        m_delegate.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_fixture.reset();
    }

    void launchingShowsTheMainWindowWithTheConverterScreen()
    {
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Morvex"));
        QVERIFY(qobject_cast<RootViewController*>(window()->centralWidget()));
    }

    void theMenuOffersAboutTheTwoLinksAndQuit()
    {
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

    void theBackgroundCheckRunsOnceFiveSecondsAfterLaunch_data()
    {
        QTest::addColumn<bool>("switchedOff");
        QTest::newRow("nothing remembered") << false;
        QTest::newRow("switched off after launch") << true;
    }

    void theBackgroundCheckRunsOnceFiveSecondsAfterLaunch()
    {
        QFETCH(bool, switchedOff);
        QCOMPARE(m_scheduled.size(), std::size_t(1));
        QCOMPARE(m_scheduled[0].seconds, 5.0);
        QSignalSpy started(m_delegate->standardUpdater()->updater(), &Updater::checkStarted);
        QCOMPARE(started.size(), 0); // not at once
        if (switchedOff)
            QVERIFY(m_delegate->standardUpdater()->setAutomaticallyChecksForUpdates(false));
        m_scheduled[0].event();
        QCOMPARE(started.size(), switchedOff ? 0 : 1);
        if (!switchedOff)
            QCOMPARE(started[0][0].toBool(), false); // a background check
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
        QCOMPARE(m_abouts, 1);
        auto abouts = window()->findChildren<AboutViewController*>();
        QCOMPARE(abouts.size(), 1);
        QVERIFY(abouts[0]->isVisible());
        QCOMPARE(abouts[0]->windowModality(), Qt::WindowModal);
        abouts[0]->disappear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_delegate->showAbout();
        QCOMPARE(m_abouts, 2);
    }

    void aboutWithoutAKeyWindowDoesNothing()
    {
        window()->hide();
        QApplication::setActiveWindow(nullptr);
        m_delegate->showAbout();
        QCOMPARE(m_abouts, 0);
    }

    void theLinksOpenTheirPages()
    {
        QList<QUrl> opened;
        auto previous = Workspace::shared().setOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        m_delegate->openBBS();
        m_delegate->openAppWeb();
        Workspace::shared().setOpener(previous);
        QCOMPARE(opened, (QList<QUrl>{WebAddresses::forum(), WebAddresses::homePage()}));
    }

private:
    MXWindow* window() const { return m_delegate->windowController()->window(); }

    QTemporaryDir m_home;
    std::unique_ptr<ScreenFixture> m_fixture;
    std::unique_ptr<AppDelegate> m_delegate;
    std::vector<ScheduledCall> m_scheduled;
    int m_abouts = 0;
};

QTEST_MAIN(TestAppDelegate)
#include "TestAppDelegate.moc"
