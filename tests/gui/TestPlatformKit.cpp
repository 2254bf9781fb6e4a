#include "AppVersion.h"
#include "Async.h"
#include "Click.h"
#include "Gray.h"
#include "SystemFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <limits>

using namespace morvex;

class TestPlatformKit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionComesFromTheBuild();

    void delayInterval_data();
    void delayInterval();
    void delayRunsOnceLaterOnTheQueueThread();
    void delayFromAnotherThreadRunsOnTheQueueThread();
    void delayIsDroppedWithItsQueue();

    void grayLevels_data();
    void grayLevels();

    void systemFontHasTheSizeInPoints_data();
    void systemFontHasTheSizeInPoints();
    void textSizeGrowsWithTextAndSize();

    void clickOnPlainWidgetRunsAction();
    void clickReleasedOutsideDoesNothing();
    void clickOnButtonUsesItsClickedSignal();
    void clickActionIsReplacedAndCleared();
    void clickActionStopsWithItsTarget();
};

void TestPlatformKit::versionComesFromTheBuild()
{
    const AppVersion& version = AppVersion::current();
    QCOMPARE(version.shortVersion, QStringLiteral(MORVEX_EXPECTED_VERSION));
    QCOMPARE(version.build, QStringLiteral(MORVEX_EXPECTED_BUILD));
    QCOMPARE(&AppVersion::current(), &version);
}

void TestPlatformKit::delayInterval_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<qint64>("milliseconds");

    QTest::newRow("five seconds are five thousand milliseconds") << 5.0 << qint64(5000);
    QTest::newRow("fractions round to the nearest millisecond") << 0.0015 << qint64(2);
    QTest::newRow("zero runs at the next turn of the loop") << 0.0 << qint64(0);
    QTest::newRow("negative counts as zero") << -3.0 << qint64(0);
    QTest::newRow("not a number counts as zero") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
    QTest::newRow("huge delays are capped, not wrapped") << 1e12 << qint64(std::numeric_limits<int>::max());
}

void TestPlatformKit::delayInterval()
{
    QFETCH(double, seconds);
    QFETCH(qint64, milliseconds);
    QCOMPARE(Async::interval(seconds).count(), milliseconds);
}

void TestPlatformKit::delayRunsOnceLaterOnTheQueueThread()
{
    QObject queue;
    int calls = 0;
    QThread* ranOn = nullptr;
    Async::delay(0.0, &queue, [&] {
        ++calls;
        ranOn = QThread::currentThread();
    });
    QCOMPARE(calls, 0); // never synchronously
    QTRY_COMPARE(calls, 1);
    QCOMPARE(ranOn, queue.thread());
    QCoreApplication::processEvents();
    QCOMPARE(calls, 1);
}

void TestPlatformKit::delayFromAnotherThreadRunsOnTheQueueThread()
{
    int calls = 0;
    QThread* ranOn = nullptr;
    QThread* worker = QThread::create([&] {
        Async::delay(0.0, qApp, [&] {
            ++calls;
            ranOn = QThread::currentThread();
        });
    });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QTRY_COMPARE(calls, 1);
    QCOMPARE(ranOn, qApp->thread());
}

void TestPlatformKit::delayIsDroppedWithItsQueue()
{
    int calls = 0;
    auto queue = std::make_unique<QObject>();
    Async::delay(0.0, queue.get(), [&] { ++calls; });
    queue.reset();
    // A later call on the application runs; the dropped one must not have run before it.
    bool later = false;
    Async::delay(0.0, nullptr, [&] { later = true; });
    QTRY_VERIFY(later);
    QCOMPARE(calls, 0);
}

void TestPlatformKit::grayLevels_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("alpha");
    QTest::addColumn<int>("expectedLevel");
    QTest::addColumn<double>("expectedAlpha");

    QTest::newRow("grey 88, opaque, as the alert detail text") << 88 << 1.0 << 88 << 1.0;
    QTest::newRow("black") << 0 << 1.0 << 0 << 1.0;
    QTest::newRow("white, half transparent") << 255 << 0.5 << 255 << 0.5;
    QTest::newRow("alpha above one is opaque") << 120 << 3.0 << 120 << 1.0;
    QTest::newRow("alpha below zero is clear") << 120 << -1.0 << 120 << 0.0;
}

void TestPlatformKit::grayLevels()
{
    QFETCH(int, level);
    QFETCH(double, alpha);
    QFETCH(int, expectedLevel);
    QFETCH(double, expectedAlpha);

    const QColor color = gray(level, alpha);
    QVERIFY(color.isValid());
    QCOMPARE(color.red(), expectedLevel);
    QCOMPARE(color.green(), expectedLevel);
    QCOMPARE(color.blue(), expectedLevel);
    QCOMPARE(qRound(color.alphaF() * 1000), qRound(expectedAlpha * 1000));
}

void TestPlatformKit::systemFontHasTheSizeInPoints_data()
{
    QTest::addColumn<double>("points");
    QTest::newRow("12, the default of text records") << 12.0;
    QTest::newRow("16, rows and labels") << 16.0;
    QTest::newRow("18, titles and the standard button") << 18.0;
}

void TestPlatformKit::systemFontHasTheSizeInPoints()
{
    QFETCH(double, points);
    const QFont font = SystemFont::at(points);
    // One point of text is one unit of window geometry.
    QCOMPARE(QFontInfo(font).pixelSize(), qRound(points));
    QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

void TestPlatformKit::textSizeGrowsWithTextAndSize()
{
    const QSizeF one = SystemFont::size(QStringLiteral("手动解析"), 16);
    const QSizeF two = SystemFont::size(QStringLiteral("手动解析手动解析"), 16);
    const QSizeF bigger = SystemFont::size(QStringLiteral("手动解析"), 32);
    const QSizeF lines = SystemFont::size(QStringLiteral("a\nb"), 16);

    QVERIFY(one.width() > 0);
    QVERIFY(one.height() >= 16);
    QVERIFY(qAbs(two.width() - 2 * one.width()) < 2);
    QCOMPARE(two.height(), one.height());
    QVERIFY(bigger.width() > 1.8 * one.width());
    QVERIFY(lines.height() > 1.8 * SystemFont::size(QStringLiteral("a"), 16).height());
    QCOMPARE(SystemFont::size(QString(), 16), QSizeF(0, 0));
}

void TestPlatformKit::clickOnPlainWidgetRunsAction()
{
    QWidget view;
    view.resize(50, 50);
    int calls = 0;
    Click::set(&view, nullptr, [&] { ++calls; });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(calls, 1);
    QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(calls, 1);
}

void TestPlatformKit::clickReleasedOutsideDoesNothing()
{
    QWidget view;
    view.resize(50, 50);
    int calls = 0;
    Click::set(&view, nullptr, [&] { ++calls; });
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(80, 80));
    QCOMPARE(calls, 0);
}

void TestPlatformKit::clickOnButtonUsesItsClickedSignal()
{
    QPushButton button;
    button.resize(80, 30);
    int calls = 0;
    Click::set(&button, &button, [&] { ++calls; });
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    button.animateClick(); // keyboard-style activation counts as well
    QTRY_COMPARE(calls, 2);
}

void TestPlatformKit::clickActionIsReplacedAndCleared()
{
    QWidget view;
    view.resize(50, 50);
    int first = 0;
    int second = 0;
    Click::set(&view, nullptr, [&] { ++first; });
    Click::set(&view, nullptr, [&] { ++second; });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(first, 0);
    QCOMPARE(second, 1);

    Click::clear(&view);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(second, 1);
}

void TestPlatformKit::clickActionStopsWithItsTarget()
{
    QWidget view;
    view.resize(50, 50);
    int calls = 0;
    auto target = std::make_unique<QObject>();
    Click::set(&view, target.get(), [&] { ++calls; });
    target.reset();
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(calls, 0);
}

QTEST_MAIN(TestPlatformKit)
#include "TestPlatformKit.moc"
