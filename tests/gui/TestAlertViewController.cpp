// The alert sheet: its controls and layout, the one-alert slot, closing.

#include "AlertViewController.h"
#include "HostWindow.h"
#include "NSTheme.h"
#include "Pixels.h"
#include "UIButton.h"
#include "UILabel.h"

#include <QPointer>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

class TestAlertViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_host = test::shownHostWindow(800, 600);
        QVERIFY(m_host);
    }

    void cleanup()
    {
        if (AlertViewController* alert = AlertViewController::current())
            alert->disappear();
        m_host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void showsTitleDetailAndButtonAsASheet_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("button");
        QTest::newRow("an input error with an empty detail")
            << QString::fromUtf8(u8"请输入JSON字符串") << QString() << QString::fromUtf8(u8"好的");
        QTest::newRow("a detail and another button title")
            << QStringLiteral("Title") << QStringLiteral("Some detail") << QStringLiteral("Close");
    }

    void showsTitleDetailAndButtonAsASheet()
    {
        QFETCH(QString, title);
        QFETCH(QString, detail);
        QFETCH(QString, button);

        AlertViewController::show(title, detail, button, m_host.get());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QVERIFY(QTest::qWaitForWindowExposed(alert));
        QCOMPARE(alert->size(), QSize(640, 180));
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(alert->parentWidget(), m_host.get());
        QCOMPARE(alert->titleLabel()->stringValue(), title);
        QCOMPARE(alert->msgLabel()->stringValue(), detail);
        QCOMPARE(alert->cancelBtn()->title(), button);
        QCOMPARE(alert->titleLabel()->textColor(), QColor(Qt::white));
        QCOMPARE(alert->titleLabel()->text().fontSize(), 18.0);
        QCOMPARE(alert->msgLabel()->textColor(), QColor(88, 88, 88));
        QCOMPARE(alert->msgLabel()->text().fontSize(), 16.0);
        QVERIFY(!alert->msgLabel()->usesSingleLineMode());
        QCOMPARE(alert->cancelBtn()->text().fontSize(), 16.0);
    }

    void placesItsControlsAsDescribed_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("title band across the top") << 0 << QRect(0, 10, 640, 38);
        QTest::newRow("detail block in the middle") << 1 << QRect(40, 58, 560, 80);
        QTest::newRow("button at the bottom right") << 2 << QRect(520, 132, 100, 38);
    }

    void placesItsControlsAsDescribed()
    {
        QFETCH(int, control);
        QFETCH(QRect, frame);
        AlertViewController::show(QStringLiteral("t"), QString(), QStringLiteral("OK"), m_host.get());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QWidget* widgets[] = {alert->titleLabel(), alert->msgLabel(), alert->cancelBtn()};
        QWidget* widget = widgets[control];
        QCOMPARE(QRect(widget->mapTo(alert, QPoint(0, 0)), widget->size()), frame);
    }

    void isPaintedInTheAccentColour()
    {
        AlertViewController::show(QStringLiteral("t"), QString(), QStringLiteral("OK"), m_host.get());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        const QImage image = grabWidget(*alert);
        // A corner well away from every control.
        QVERIFY2(sameColor(pixel(image, 5, 170), NSTheme::accent(), 1), qPrintable(describe(pixel(image, 5, 170))));
        QVERIFY(sameColor(pixel(image, 300, 150), NSTheme::accent(), 1));
    }

    void pressingTheButtonClosesAndEmptiesTheSlot()
    {
        AlertViewController::show(QStringLiteral("t"), QString(), QStringLiteral("OK"), m_host.get());
        QPointer<AlertViewController> alert = AlertViewController::current();
        QVERIFY(alert);
        QTest::mouseClick(alert->cancelBtn(), Qt::LeftButton);
        QVERIFY(!AlertViewController::current());
        QVERIFY(!alert->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!alert);
    }

    void aNewAlertReplacesTheOneBefore()
    {
        AlertViewController::show(QStringLiteral("first"), QString(), QStringLiteral("OK"), m_host.get());
        QPointer<AlertViewController> first = AlertViewController::current();
        AlertViewController::show(QStringLiteral("second"), QString(), QStringLiteral("OK"), m_host.get());
        AlertViewController* second = AlertViewController::current();
        QVERIFY(second);
        QVERIFY(second != first.data());
        QCOMPARE(second->titleLabel()->stringValue(), QStringLiteral("second"));
        QVERIFY(!first || !first->isVisible());
        QVERIFY(second->isVisible());
    }

    void aLongTitleStaysOnOneLineAndALongDetailWraps()
    {
        const QString title = QString(200, u'W');
        const QString detail = QString(300, u'x');
        AlertViewController::show(title, detail, QStringLiteral("OK"), m_host.get());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QVERIFY(alert->titleLabel()->usesSingleLineMode());
        QCOMPARE(alert->titleLabel()->height(), 38);
        QCOMPARE(alert->msgLabel()->size(), QSize(560, 80));
        // The button keeps its place whatever the texts.
        QCOMPARE(alert->cancelBtn()->geometry(), QRect(520, 132, 100, 38));
    }

private:
    std::unique_ptr<QWidget> m_host;
};

QTEST_MAIN(TestAlertViewController)
#include "TestAlertViewController.moc"
