// The dialog base: view loading, the once-only first appearance, the back button, dismissal.

#include "HostWindow.h"
#include "UIView.h"
#include "UIViewController.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace morvex;

namespace {

class CountingController : public UIViewController
{
public:
    int loads = 0;
    int firstAppearances = 0;
    int disappearances = 0;

protected:
    void viewDidLoad() override { ++loads; }
    void viewFirstDidAppear() override { ++firstAppearances; }
    void viewDidDisappear() override { ++disappearances; }
};

class PlainViewController : public UIViewController
{
protected:
    QWidget* loadView() override
    {
        auto* plain = new QWidget(this);
        plain->resize(200, 100);
        return plain;
    }
};

} // namespace

class TestUIViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_host = test::shownHostWindow(600, 400);
        QVERIFY(m_host);
    }

    void cleanup()
    {
        m_host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void theViewIsBuiltOnceWhenFirstNeeded()
    {
        CountingController controller;
        QVERIFY(!controller.isViewLoaded());
        QCOMPARE(controller.loads, 0);
        QWidget* view = controller.view();
        QCOMPARE(controller.view(), view);
        QCOMPARE(controller.loads, 1);
    }

    void firstAppearanceRunsOncePerController_data()
    {
        QTest::addColumn<int>("showings");
        QTest::newRow("shown once") << 1;
        QTest::newRow("shown, hidden and shown again") << 2;
        QTest::newRow("shown three times") << 3;
    }

    void firstAppearanceRunsOncePerController()
    {
        QFETCH(int, showings);
        CountingController controller;
        for (int i = 0; i < showings; ++i) {
            controller.show();
            QVERIFY(QTest::qWaitForWindowExposed(&controller));
            controller.hide();
        }
        QCOMPARE(controller.firstAppearances, 1);
        QVERIFY(!controller.isFirstAppear());

        CountingController another;
        another.show();
        QCOMPARE(another.firstAppearances, 1);
    }

    void theBackButtonIsBuiltOnceAtTheTopLeft()
    {
        CountingController controller;
        QPushButton* first = controller.backbtn();
        QCOMPARE(controller.backbtn(), first);
        QCOMPARE(controller.view()->findChildren<QPushButton*>().size(), 1);
        QCOMPARE(first->geometry(), QRect(20, 22, 34, 22));
        QVERIFY(first->isHidden());
        QVERIFY(!first->icon().isNull());
    }

    void aPresentedSheetIsWindowModalAndGoesAwayOnItsBackButton()
    {
        QPointer<CountingController> controller = new CountingController;
        controller->presentAsSheet(m_host.get());
        QVERIFY(QTest::qWaitForWindowExposed(controller));
        QCOMPARE(controller->windowModality(), Qt::WindowModal);
        QCOMPARE(controller->parentWidget(), m_host.get());
        controller->backbtn()->show();
        QTest::mouseClick(controller->backbtn(), Qt::LeftButton);
        QVERIFY(!controller->isVisible());
        QCOMPARE(controller->disappearances, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!controller);
    }

    void disappearingTwiceIsReportedOnce()
    {
        QPointer<CountingController> controller = new CountingController;
        controller->presentAsSheet(m_host.get());
        controller->disappear();
        const int reported = controller->disappearances;
        controller->disappear();
        QCOMPARE(controller->disappearances, reported);
        QCOMPARE(reported, 1);
    }

    void loadingIsForwardedOnlyToAKitView()
    {
        CountingController kit;
        QVERIFY(kit.baseView());
        kit.showLoading();
        QVERIFY(kit.baseView()->findChildren<QWidget*>().size() > 0);

        PlainViewController plain;
        QVERIFY(!plain.baseView());
        plain.showLoading(); // nothing to show it on, and no crash
        plain.hideLoading();
        QCOMPARE(plain.size(), QSize(200, 100));
    }

private:
    std::unique_ptr<QWidget> m_host;
};

QTEST_MAIN(TestUIViewController)
#include "TestUIViewController.moc"
