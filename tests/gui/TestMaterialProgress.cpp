#include "MaterialProgress.h"
#include "Pixels.h"
#include "ProgressView.h"
#include "UIView.h"

#include <QAbstractAnimation>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace morvex;
using namespace morvex::test;

namespace {

// Counts what the switch asks of its subclass.
class CountingAnimation : public IndeterminateAnimation
{
public:
    // A child, so that "hidden" means hidden by the switch and not "a window never shown".
    explicit CountingAnimation(QWidget* parent) : IndeterminateAnimation(QRect(0, 0, 20, 20), parent) {}
    int starts = 0;
    int stops = 0;
    void startAnimation() override { ++starts; }
    void stopAnimation() override { ++stops; }
};

// Angular distance between two angles, ignoring whole turns.
double angleGap(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 2 * std::numbers::pi);
    return std::min(d, 2 * std::numbers::pi - d);
}

// Runs the stroke group of `ring` to its end through its clock, as the animation timer would.
void finishStrokeCycle(MaterialProgress& ring)
{
    QAbstractAnimation* clock = ring.progressLayer().clock(QStringLiteral("strokeEnd"));
    QVERIFY(clock);
    clock->pause();
    clock->setCurrentTime(clock->duration());
}

QPoint onCircle(double degrees, double radius = 37.5)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return QPointF(50 + radius * std::cos(a), 50 - radius * std::sin(a)).toPoint();
}

} // namespace

class TestMaterialProgress : public QObject
{
    Q_OBJECT

private slots:
    void baseViewPaintsItsColours();
    void baseViewChangesShowAtOnce();

    void animateSwitch_data();
    void animateSwitch();

    void strokeWidthDefaultsToATenthOfTheRadius_data();
    void strokeWidthDefaultsToATenthOfTheRadius();
    void ringIsDrawnCounterClockwiseToEightyPercent();
    void foregroundRecoloursTheArc();

    void animationParameters();
    void strokeGroupValues_data();
    void strokeGroupValues();
    void rotationIsCumulativeAndEndless_data();
    void rotationIsCumulativeAndEndless();

    void eachCycleTurnsTheArcBy288Degrees();
    void fiveCyclesComeBackToTheStart();
    void withoutTheFlagTheCyclePlaysOnce();
    void settingAnimateOnARunningRingRestartsItOnce();
    void stoppingRemovesEveryAnimation();

    void progressViewCentresItsRing_data();
    void progressViewCentresItsRing();
};

void TestMaterialProgress::baseViewPaintsItsColours()
{
    BaseView view(QRect(0, 0, 50, 50));
    QCOMPARE(view.ibCornerRadius(), 5.0);
    // QColor keeps 16 bits per channel.
    QVERIFY(std::abs(view.background().redF() - 0.344921875) < 1e-4);
    QVERIFY(std::abs(view.background().greenF() - 0.4078125) < 1e-4);
    QVERIFY(std::abs(view.background().blueF() - 0.462890625) < 1e-4);
    QVERIFY(std::abs(view.foreground().redF() - 0.258984375) < 1e-4);
    QVERIFY(std::abs(view.foreground().greenF() - 0.678515625) < 1e-4);
    QVERIFY(std::abs(view.foreground().blueF() - 0.415625) < 1e-4);
    const QImage image = grabWidget(view);
    QVERIFY(sameColor(pixel(image, 25, 25), view.background()));
    QCOMPARE(pixel(image, 25, 25), QColor(88, 104, 118));
    QCOMPARE(pixel(image, 0, 0), QColor(255, 0, 255)); // rounded corner
}

void TestMaterialProgress::baseViewChangesShowAtOnce()
{
    BaseView view(QRect(0, 0, 50, 50));
    view.setBackground(QColor(10, 20, 30));
    view.setIbCornerRadius(0);
    const QImage image = grabWidget(view);
    QCOMPARE(pixel(image, 25, 25), QColor(10, 20, 30));
    QCOMPARE(pixel(image, 0, 0), QColor(10, 20, 30));
}

void TestMaterialProgress::animateSwitch_data()
{
    QTest::addColumn<QList<bool>>("values");
    QTest::addColumn<bool>("displayAfterEnd");
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("stops");
    QTest::addColumn<bool>("hidden");

    QTest::newRow("true twice starts once") << QList<bool>{true, true} << false << 1 << 0 << false;
    QTest::newRow("false on a stopped view does nothing") << QList<bool>{false} << false << 0 << 0 << false;
    QTest::newRow("true then false stops and hides") << QList<bool>{true, false} << false << 1 << 1 << true;
    QTest::newRow("stopping with display-after-end keeps it visible")
        << QList<bool>{true, false} << true << 1 << 1 << false;
    QTest::newRow("starting again shows it") << QList<bool>{true, false, true} << false << 2 << 1 << false;
}

void TestMaterialProgress::animateSwitch()
{
    QFETCH(QList<bool>, values);
    QFETCH(bool, displayAfterEnd);
    QFETCH(int, starts);
    QFETCH(int, stops);
    QFETCH(bool, hidden);

    QWidget host;
    CountingAnimation view(&host);
    view.setDisplayAfterAnimationEnds(displayAfterEnd);
    for (bool value : values) {
        view.setAnimate(value);
    }
    QCOMPARE(view.starts, starts);
    QCOMPARE(view.stops, stops);
    QCOMPARE(view.isHidden(), hidden);
    QCOMPARE(view.animate(), values.constLast());
}

void TestMaterialProgress::strokeWidthDefaultsToATenthOfTheRadius_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<qreal>("stroke");
    QTest::newRow("100 wide: radius 37.5, stroke 3.75") << 100 << 100 << 3.75;
    QTest::newRow("only the width counts") << 200 << 50 << 7.5;
    QTest::newRow("zero frame") << 0 << 0 << 0.0;
}

void TestMaterialProgress::strokeWidthDefaultsToATenthOfTheRadius()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(qreal, stroke);
    MaterialProgress ring(QRect(0, 0, width, height));
    QCOMPARE(ring.lineWidth(), -1.0);
    QCOMPARE(ring.progressLayer().lineWidth(), stroke);
    ring.setLineWidth(2);
    QCOMPARE(ring.progressLayer().lineWidth(), 2.0);
}

void TestMaterialProgress::ringIsDrawnCounterClockwiseToEightyPercent()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.setLineWidth(5);
    const QImage image = grabWidget(ring);
    const QColor arc = ring.foreground();
    const QColor ground = ring.background();
    // The arc runs from three o'clock counter-clockwise over 288°; 288° to 360° stays empty.
    for (double degrees : {5.0, 90.0, 180.0, 270.0, 280.0}) {
        const QPoint p = onCircle(degrees);
        QVERIFY2(sameColor(pixel(image, p.x(), p.y()), arc, 8), qPrintable(QString::number(degrees)));
    }
    for (double degrees : {300.0, 320.0, 340.0}) {
        const QPoint p = onCircle(degrees);
        QVERIFY2(sameColor(pixel(image, p.x(), p.y()), ground, 8), qPrintable(QString::number(degrees)));
    }
    QVERIFY(sameColor(pixel(image, 50, 50), ground));
}

void TestMaterialProgress::foregroundRecoloursTheArc()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.setLineWidth(5);
    ring.setForeground(QColor(Qt::red));
    QCOMPARE(ring.progressLayer().strokeColor(), QColor(Qt::red));
    const QPoint top = onCircle(90);
    QVERIFY(sameColor(pixel(grabWidget(ring), top.x(), top.y()), QColor(Qt::red), 8));
}

void TestMaterialProgress::animationParameters()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    const AnimationGroup& group = ring.animationGroup();
    QCOMPARE(group.duration, 1.5);
    QCOMPARE(group.repeatCount, 1.0);
    QCOMPARE(group.animations.size(), std::size_t(2));

    const BasicAnimation& grow = group.animations[0];
    QCOMPARE(grow.keyPath, QStringLiteral("strokeEnd"));
    QCOMPARE(grow.fromValue, 0.0);
    QCOMPARE(grow.toValue, 0.8);
    QCOMPARE(grow.duration, 1.5);
    QCOMPARE(grow.speed, 2.0);
    QCOMPARE(grow.beginTime, 0.0);
    QCOMPARE(grow.repeatCount, 1.0);
    QVERIFY(grow.timingFunction == TimingFunction::EaseInEaseOut);

    const BasicAnimation& chase = group.animations[1];
    QCOMPARE(chase.keyPath, QStringLiteral("strokeStart"));
    QCOMPARE(chase.fromValue, 0.0);
    QCOMPARE(chase.toValue, 0.8);
    QCOMPARE(chase.duration, 1.5);
    QCOMPARE(chase.speed, 2.0);
    QCOMPARE(chase.beginTime, 0.75);
    QVERIFY(chase.timingFunction == TimingFunction::EaseInEaseOut);

    const BasicAnimation& turn = ring.rotationAnimation();
    QCOMPARE(turn.keyPath, QStringLiteral("transform.rotation"));
    QCOMPARE(turn.fromValue, 0.0);
    QCOMPARE(turn.toValue, 1.0);
    QCOMPARE(turn.duration, 0.75);
    QVERIFY(turn.isCumulative);
    QVERIFY(std::isinf(turn.repeatCount));
    QVERIFY(turn.timingFunction == TimingFunction::Linear);

    QCOMPARE(ring.progressLayer().strokeEnd(), 0.8);
    QCOMPARE(ring.progressLayer().strokeStart(), 0.0);
    QCOMPARE(ring.progressLayer().lineCap(), Qt::RoundCap);
    QVERIFY(!ring.progressLayer().fillColor().has_value());
}

void TestMaterialProgress::strokeGroupValues_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<double>("strokeStart");
    QTest::addColumn<double>("strokeEnd");

    // Ease-in-ease-out is symmetric: half-way through a member it is half-way between its values.
    QTest::newRow("start: nothing drawn") << 0 << 0.0 << 0.0;
    QTest::newRow("a quarter: the end half grown") << 375 << 0.0 << 0.4;
    QTest::newRow("half: the end member is over, the layer's 0.8 shows") << 750 << 0.0 << 0.8;
    QTest::newRow("three quarters: the start half-way after the end") << 1125 << 0.4 << 0.8;
}

void TestMaterialProgress::strokeGroupValues()
{
    QFETCH(int, ms);
    QFETCH(double, strokeStart);
    QFETCH(double, strokeEnd);

    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.startAnimation();
    QAbstractAnimation* clock = ring.progressLayer().clock(QStringLiteral("strokeEnd"));
    QVERIFY(clock);
    QCOMPARE(clock->duration(), 1500);
    clock->pause();
    clock->setCurrentTime(ms);
    QCOMPARE(qRound(ring.progressLayer().presentationValue(QStringLiteral("strokeStart")) * 1e6),
             qRound(strokeStart * 1e6));
    QCOMPARE(qRound(ring.progressLayer().presentationValue(QStringLiteral("strokeEnd")) * 1e6),
             qRound(strokeEnd * 1e6));
    // The model never moves.
    QCOMPARE(ring.progressLayer().strokeEnd(), 0.8);
}

void TestMaterialProgress::rotationIsCumulativeAndEndless_data()
{
    QTest::addColumn<int>("ms");
    QTest::addColumn<double>("radians");
    QTest::newRow("half a period: half a radian") << 375 << 0.5;
    QTest::newRow("one period: one radian") << 750 << 1.0;
    QTest::newRow("four periods go on from each other") << 3000 << 4.0;
    QTest::newRow("a minute later it still turns") << 60375 << 80.5;
}

void TestMaterialProgress::rotationIsCumulativeAndEndless()
{
    QFETCH(int, ms);
    QFETCH(double, radians);

    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.startAnimation();
    QAbstractAnimation* clock = ring.backgroundRotationLayer().clock(QStringLiteral("transform.rotation"));
    QVERIFY(clock);
    QCOMPARE(clock->duration(), -1);
    clock->pause();
    clock->setCurrentTime(ms);
    QVERIFY(std::abs(ring.backgroundRotationLayer().presentationValue(QStringLiteral("transform.rotation")) - radians) <
            1e-9);
}

void TestMaterialProgress::eachCycleTurnsTheArcBy288Degrees()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.setAnimate(true);
    finishStrokeCycle(ring);
    QVERIFY(std::abs(ring.currentRotation() - 1.6 * std::numbers::pi) < 1e-12);
    QCOMPARE(ring.progressLayer().rotation(), ring.currentRotation());
    // The next cycle is already running, from its start.
    QAbstractAnimation* next = ring.progressLayer().clock(QStringLiteral("strokeEnd"));
    QVERIFY(next);
    QCOMPARE(next->currentTime(), 0);

    finishStrokeCycle(ring);
    QVERIFY(angleGap(ring.currentRotation(), 3.2 * std::numbers::pi) < 1e-12);
    QVERIFY(ring.currentRotation() >= 0 && ring.currentRotation() < MaterialProgress::pi2);
}

void TestMaterialProgress::fiveCyclesComeBackToTheStart()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.setAnimate(true);
    for (int i = 0; i < 5; ++i) {
        finishStrokeCycle(ring);
    }
    QVERIFY(angleGap(ring.currentRotation(), 0) < 1e-9);
}

void TestMaterialProgress::withoutTheFlagTheCyclePlaysOnce()
{
    ProgressView overlay(QRect(0, 0, 300, 200));
    overlay.start();
    MaterialProgress& ring = overlay.progress();
    QVERIFY(!ring.animate());
    finishStrokeCycle(ring);
    QCOMPARE(ring.currentRotation(), 0.0);
    QVERIFY(ring.progressLayer().animationKeys().isEmpty());
    QCOMPARE(ring.progressLayer().presentationValue(QStringLiteral("strokeEnd")), 0.8);
    // The ring keeps turning underneath.
    QCOMPARE(ring.backgroundRotationLayer().animationKeys(), QStringList{QStringLiteral("transform.rotation")});
}

void TestMaterialProgress::settingAnimateOnARunningRingRestartsItOnce()
{
    // Regression: replacing the running stroke group used to report it stopped, and the ring, animating,
    // added the group again, which replaced it again, without end.
    ProgressView overlay(QRect(0, 0, 300, 200));
    overlay.start();
    MaterialProgress& ring = overlay.progress();
    ring.setAnimate(true);
    QCOMPARE(ring.progressLayer().animationKeys(), QStringList{QStringLiteral("strokeEnd")});
    QCOMPARE(ring.backgroundRotationLayer().animationKeys(), QStringList{QStringLiteral("transform.rotation")});
    QCOMPARE(ring.currentRotation(), 0.0);
}

void TestMaterialProgress::stoppingRemovesEveryAnimation()
{
    MaterialProgress ring(QRect(0, 0, 100, 100));
    ring.setAnimate(true);
    ring.setAnimate(false);
    QVERIFY(ring.progressLayer().animationKeys().isEmpty());
    QVERIFY(ring.backgroundRotationLayer().animationKeys().isEmpty());
    QVERIFY(ring.isHidden());
    QCOMPARE(ring.currentRotation(), 0.0);
}

void TestMaterialProgress::progressViewCentresItsRing_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("ring");
    QTest::newRow("300 by 200") << QSize(300, 200) << QRect(100, 50, 100, 100);
    QTest::newRow("exactly the ring") << QSize(100, 100) << QRect(0, 0, 100, 100);
}

void TestMaterialProgress::progressViewCentresItsRing()
{
    QFETCH(QSize, size);
    QFETCH(QRect, ring);

    ProgressView overlay(QRect(QPoint(0, 0), size));
    QCOMPARE(overlay.progress().geometry(), QRect(0, 0, 100, 100));
    QCOMPARE(overlay.progress().lineWidth(), 2.0);
    overlay.setHidden(true);
    overlay.start();
    QVERIFY(!overlay.isHidden());
    QCOMPARE(overlay.progress().geometry(), ring);
    // Moving it does not rebuild it: the path stays the one made for 100 × 100.
    QCOMPARE(overlay.progress().progressLayer().path().boundingRect().center(), QPointF(50, 50));
}

QTEST_MAIN(TestMaterialProgress)
#include "TestMaterialProgress.moc"
