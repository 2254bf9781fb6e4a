#include "Mouse.h"
#include "NSTheme.h"
#include "Pixels.h"
#include "UIButton.h"

#include <QFontInfo>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

const QColor magenta(255, 0, 255); // the ground grabWidget renders on: "nothing painted here"

QString failure(const char* where, const QColor& actual, const QColor& expected)
{
    return QStringLiteral("%1: %2 instead of %3").arg(QString::fromUtf8(where), describe(actual), describe(expected));
}

#define EXPECT_PIXEL(image, x, y, expected, tolerance)                                                                 \
    QVERIFY2(sameColor(pixel(image, x, y), expected, tolerance),                                                       \
             qPrintable(failure(#x ", " #y, pixel(image, x, y), expected)))

} // namespace

class TestUIButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newButtonPaintsNothingButItsTitle();
    void settingTheTitleShowsItInBlack();

    void liveRecordsPaintAtOnce_data();
    void liveRecordsPaintAtOnce();
    void highlightRecordsArePassive();

    void noHoverBeforeTheHighlightIsRead();
    void hoverLaysTheHighlightOverTheLayer_data();
    void hoverLaysTheHighlightOverTheLayer();
    void hoverTextRules_data();
    void hoverTextRules();
    void leavingSetsTheFontOfTheTextRecord();
    void titleSetWhileHoveredShowsTheNormalColour();
    void noHoverInAnInactiveWindow();
    void deactivatingTheWindowDropsTheHoverLook();

    void standardButtonLook();
    void standardButtonActionFollowsItsTarget();
    void checkedButtonShowsTheAlternateImage();
};

void TestUIButton::newButtonPaintsNothingButItsTitle()
{
    UIButton button;
    button.resize(100, 40);
    const QImage image = grabWidget(button);
    EXPECT_PIXEL(image, 0, 0, magenta, 0);
    EXPECT_PIXEL(image, 50, 2, magenta, 0);
    EXPECT_PIXEL(image, 2, 20, magenta, 0);
    QVERIFY(!button.titleColor().has_value());
    QVERIFY(!button.isEnableTrackingArea());
}

void TestUIButton::settingTheTitleShowsItInBlack()
{
    UIButton button;
    button.resize(100, 40);
    button.setTitle(QStringLiteral("WWWW"));
    QCOMPARE(button.title(), QStringLiteral("WWWW"));
    QCOMPARE(button.titleColor(), std::optional<QColor>(QColor(Qt::black)));

    // Some pixel of the title is black; none is anything but black, magenta or a blend of the two.
    const QImage image = grabWidget(button);
    bool black = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = pixel(image, x, y);
            black = black || sameColor(c, Qt::black, 10);
            QVERIFY(c.green() <= c.red() + 1);
        }
    }
    QVERIFY(black);
}

void TestUIButton::liveRecordsPaintAtOnce_data()
{
    QTest::addColumn<qreal>("width");
    QTest::addColumn<qreal>("radius");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QColor>("cornerColor");

    QTest::newRow("square corners: the corner pixel is border") << 2.0 << 0.0 << QPoint(0, 0) << QColor(Qt::black);
    QTest::newRow("radius 10: the corner pixel is outside") << 2.0 << 10.0 << QPoint(0, 0) << magenta;
    QTest::newRow("radius 10: one pixel in at the corner still outside") << 2.0 << 10.0 << QPoint(1, 1) << magenta;
    QTest::newRow("no border: the corner pixel is background") << 0.0 << 0.0 << QPoint(0, 0) << NSTheme::accent();
}

void TestUIButton::liveRecordsPaintAtOnce()
{
    QFETCH(qreal, width);
    QFETCH(qreal, radius);
    QFETCH(QPoint, corner);
    QFETCH(QColor, cornerColor);

    UIButton button;
    button.resize(100, 40);
    button.background().setColor(NSTheme::accent());
    button.border().setColor(QColor(Qt::black));
    button.border().setWidth(width);
    button.border().setRadius(radius);
    QCOMPARE(button.backingLayer().borderWidth, width);
    QCOMPARE(button.backingLayer().cornerRadius, radius);

    const QImage image = grabWidget(button);
    EXPECT_PIXEL(image, corner.x(), corner.y(), cornerColor, 0);
    // Middle of the top and left edges: exactly `width` pixels of border, then background.
    const int w = qRound(width);
    for (int i = 0; i < w; ++i) {
        EXPECT_PIXEL(image, 50, i, QColor(Qt::black), 0);
        EXPECT_PIXEL(image, i, 20, QColor(Qt::black), 0);
        EXPECT_PIXEL(image, 99 - i, 20, QColor(Qt::black), 0);
    }
    EXPECT_PIXEL(image, 50, w, NSTheme::accent(), 0);
    EXPECT_PIXEL(image, w, 20, NSTheme::accent(), 0);

    button.background().setColor(std::nullopt);
    EXPECT_PIXEL(grabWidget(button), 50, w + 1, magenta, 0);
}

void TestUIButton::highlightRecordsArePassive()
{
    UIButton button;
    button.resize(100, 40);
    button.background().setColor(NSTheme::accent());
    button.highlight().background().setColor(NSTheme::accentHover());
    button.highlight().border().setColor(QColor(Qt::black));
    button.highlight().border().setWidth(4);
    button.highlight().border().setRadius(8);

    QVERIFY(!button.highlight().background().isSet());
    QVERIFY(!button.highlight().border().isSet());
    QCOMPARE(button.backingLayer().borderWidth, 0.0);
    const QImage image = grabWidget(button);
    EXPECT_PIXEL(image, 0, 0, NSTheme::accent(), 0);
    EXPECT_PIXEL(image, 50, 1, NSTheme::accent(), 0);
}

void TestUIButton::noHoverBeforeTheHighlightIsRead()
{
    UIButton button;
    button.resize(100, 40);
    QVERIFY(showActive(button));
    button.background().setColor(NSTheme::accent());
    enter(button);
    QVERIFY(!button.isHovered());
    QVERIFY(!button.isEnableTrackingArea());
    EXPECT_PIXEL(grabWidget(button), 5, 5, NSTheme::accent(), 0);
}

void TestUIButton::hoverLaysTheHighlightOverTheLayer_data()
{
    QTest::addColumn<qreal>("normalWidth");
    QTest::addColumn<qreal>("normalRadius");
    QTest::addColumn<qreal>("hoverWidth");
    QTest::addColumn<qreal>("hoverRadius");
    QTest::addColumn<bool>("hoverBorderColor");
    QTest::addColumn<qreal>("shownWidth");
    QTest::addColumn<qreal>("shownRadius");

    QTest::newRow("hover width and radius replace the normal ones") << 1.0 << 2.0 << 3.0 << 6.0 << true << 3.0 << 6.0;
    QTest::newRow("hover width 0 keeps the normal width") << 2.0 << 2.0 << 0.0 << 6.0 << true << 2.0 << 6.0;
    QTest::newRow("hover radius 0 keeps the normal radius") << 2.0 << 7.0 << 3.0 << 0.0 << true << 3.0 << 7.0;
    QTest::newRow("no hover border colour keeps the normal colour") << 2.0 << 0.0 << 0.0 << 0.0 << false << 2.0 << 0.0;
    QTest::newRow("all normal values zero come back as zero") << 0.0 << 0.0 << 4.0 << 9.0 << true << 4.0 << 9.0;
}

void TestUIButton::hoverLaysTheHighlightOverTheLayer()
{
    QFETCH(qreal, normalWidth);
    QFETCH(qreal, normalRadius);
    QFETCH(qreal, hoverWidth);
    QFETCH(qreal, hoverRadius);
    QFETCH(bool, hoverBorderColor);
    QFETCH(qreal, shownWidth);
    QFETCH(qreal, shownRadius);

    UIButton button;
    button.setFocusPolicy(Qt::NoFocus); // a lone window would focus it, and the focus ring covers the border
    button.resize(100, 40);
    QVERIFY(showActive(button));
    button.background().setColor(NSTheme::accent());
    button.border().setColor(QColor(Qt::black));
    button.border().setWidth(normalWidth);
    button.border().setRadius(normalRadius);
    button.highlight().background().setColor(NSTheme::accentHover());
    button.highlight().border().setWidth(hoverWidth);
    button.highlight().border().setRadius(hoverRadius);
    if (hoverBorderColor) {
        button.highlight().border().setColor(QColor(Qt::white));
    }

    enter(button);
    QVERIFY(button.isHovered());
    const Layer& layer = button.backingLayer();
    QCOMPARE(layer.backgroundColor, std::optional<QColor>(NSTheme::accentHover()));
    QCOMPARE(layer.borderColor, std::optional<QColor>(hoverBorderColor ? QColor(Qt::white) : QColor(Qt::black)));
    QCOMPARE(layer.borderWidth, shownWidth);
    QCOMPARE(layer.cornerRadius, shownRadius);
    const QImage hovered = grabWidget(button);
    EXPECT_PIXEL(hovered, 50, 20, NSTheme::accentHover(), 0);
    if (shownWidth >= 1) {
        EXPECT_PIXEL(hovered, 50, 0, hoverBorderColor ? QColor(Qt::white) : QColor(Qt::black), 0);
    }

    leave(button);
    QVERIFY(!button.isHovered());
    QCOMPARE(layer.backgroundColor, std::optional<QColor>(NSTheme::accent()));
    QCOMPARE(layer.borderColor, std::optional<QColor>(QColor(Qt::black)));
    QCOMPARE(layer.borderWidth, normalWidth);
    QCOMPARE(layer.cornerRadius, normalRadius);
    EXPECT_PIXEL(grabWidget(button), 50, 20, NSTheme::accent(), 0);
}

void TestUIButton::hoverTextRules_data()
{
    QTest::addColumn<qreal>("hoverSize");
    QTest::addColumn<QColor>("hoverColor");
    QTest::addColumn<int>("shownPixelSize");
    QTest::addColumn<QColor>("shownColor");

    QTest::newRow("hover size and colour apply") << 20.0 << QColor(Qt::white) << 20 << QColor(Qt::white);
    QTest::newRow("hover size 12 keeps the normal size") << 12.0 << QColor(Qt::white) << 16 << QColor(Qt::white);
    QTest::newRow("hover colour black keeps the normal colour") << 20.0 << QColor(Qt::black) << 20 << NSTheme::accent();
    QTest::newRow("black made from components is black too")
        << 20.0 << QColor::fromRgbF(0.f, 0.f, 0.f) << 20 << NSTheme::accent();
}

void TestUIButton::hoverTextRules()
{
    QFETCH(qreal, hoverSize);
    QFETCH(QColor, hoverColor);
    QFETCH(int, shownPixelSize);
    QFETCH(QColor, shownColor);

    UIButton button;
    button.resize(120, 40);
    QVERIFY(showActive(button));
    button.setTitle(QStringLiteral("Convert"));
    button.text().setFontSize(16);
    button.text().setColor(NSTheme::accent());
    button.highlight().text().setFontSize(hoverSize);
    button.highlight().text().setColor(hoverColor);
    QVERIFY(!button.highlight().text().isSet());

    enter(button);
    QCOMPARE(QFontInfo(button.font()).pixelSize(), shownPixelSize);
    QCOMPARE(button.titleColor(), std::optional<QColor>(shownColor));

    leave(button);
    QCOMPARE(QFontInfo(button.font()).pixelSize(), 16);
    QCOMPARE(button.titleColor(), std::optional<QColor>(NSTheme::accent()));
}

void TestUIButton::leavingSetsTheFontOfTheTextRecord()
{
    UIButton button;
    button.resize(100, 40);
    QVERIFY(showActive(button));
    QFont big = button.font();
    big.setPixelSize(30);
    button.setFont(big);
    button.highlight();

    enter(button);
    QCOMPARE(QFontInfo(button.font()).pixelSize(), 30);
    leave(button);
    QCOMPARE(QFontInfo(button.font()).pixelSize(), 12);
}

void TestUIButton::titleSetWhileHoveredShowsTheNormalColour()
{
    UIButton button;
    button.resize(100, 40);
    QVERIFY(showActive(button));
    button.text().setColor(QColor(Qt::blue));
    button.highlight().text().setColor(QColor(Qt::red));

    enter(button);
    QCOMPARE(button.titleColor(), std::optional<QColor>(QColor(Qt::red)));
    button.setTitle(QStringLiteral("Again"));
    QCOMPARE(button.titleColor(), std::optional<QColor>(QColor(Qt::blue)));
    button.text().setColor(QColor(Qt::green));
    QCOMPARE(button.titleColor(), std::optional<QColor>(QColor(Qt::green)));

    leave(button);
    enter(button);
    QCOMPARE(button.titleColor(), std::optional<QColor>(QColor(Qt::red)));
}

void TestUIButton::noHoverInAnInactiveWindow()
{
    QWidget window;
    window.resize(200, 100);
    auto* button = new UIButton(&window);
    button->setGeometry(0, 0, 100, 40);
    button->background().setColor(NSTheme::accent());
    button->highlight().background().setColor(NSTheme::accentHover());
    QWidget other;
    other.resize(50, 50);
    QVERIFY(showActive(window));
    QVERIFY(showActive(other));
    QVERIFY(!window.isActiveWindow());

    enter(*button);
    QVERIFY(!button->isHovered());
    EXPECT_PIXEL(grabWidget(*button), 50, 20, NSTheme::accent(), 0);
}

void TestUIButton::deactivatingTheWindowDropsTheHoverLook()
{
    QWidget window;
    window.resize(200, 100);
    auto* button = new UIButton(&window);
    button->setGeometry(0, 0, 100, 40);
    button->background().setColor(NSTheme::accent());
    button->highlight().background().setColor(NSTheme::accentHover());
    QVERIFY(showActive(window));
    enter(*button);
    QVERIFY(button->isHovered());

    QWidget other;
    other.resize(50, 50);
    QVERIFY(showActive(other));
    QVERIFY(!button->isHovered());
    QCOMPARE(button->backingLayer().backgroundColor, std::optional<QColor>(NSTheme::accent()));
}

void TestUIButton::standardButtonLook()
{
    std::unique_ptr<UIButton> button(UIButton::standardButton(QStringLiteral("确定"), nullptr, {}));
    button->resize(120, 48);
    QCOMPARE(button->title(), QStringLiteral("确定"));
    QCOMPARE(button->titleColor(), std::optional<QColor>(QColor(Qt::white)));
    QCOMPARE(QFontInfo(button->font()).pixelSize(), 18);
    QVERIFY(button->isEnableTrackingArea());

    const QImage normal = grabWidget(*button);
    EXPECT_PIXEL(normal, 3, 24, NSTheme::accent(), 0);
    EXPECT_PIXEL(normal, 0, 0, magenta, 0); // radius 5
    EXPECT_PIXEL(normal, 119, 47, magenta, 0);
    EXPECT_PIXEL(normal, 5, 5, NSTheme::accent(), 0);
    EXPECT_PIXEL(normal, 0, 24, NSTheme::accent(), 0);

    QVERIFY(showActive(*button));
    enter(*button);
    EXPECT_PIXEL(grabWidget(*button), 3, 24, NSTheme::accentHover(), 0);
    leave(*button);
    EXPECT_PIXEL(grabWidget(*button), 3, 24, NSTheme::accent(), 0);
}

void TestUIButton::standardButtonActionFollowsItsTarget()
{
    int calls = 0;
    auto target = std::make_unique<QObject>();
    std::unique_ptr<UIButton> button(UIButton::standardButton(QStringLiteral("选择"), target.get(), [&] { ++calls; }));
    button->resize(88, 28);
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(calls, 1);
    target.reset();
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(calls, 1);
}

void TestUIButton::checkedButtonShowsTheAlternateImage()
{
    QPixmap off(16, 16);
    off.fill(Qt::blue);
    QPixmap on(16, 16);
    on.fill(Qt::green);
    UIButton button;
    button.resize(60, 30);
    button.setIconSize(QSize(16, 16));
    button.setIcon(QIcon(off));
    button.setAlternateImage(QIcon(on));
    button.setCheckable(true);

    EXPECT_PIXEL(grabWidget(button), 30, 15, QColor(Qt::blue), 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(button.isChecked());
    EXPECT_PIXEL(grabWidget(button), 30, 15, QColor(Qt::green), 0);
}

QTEST_MAIN(TestUIButton)
#include "TestUIButton.moc"
