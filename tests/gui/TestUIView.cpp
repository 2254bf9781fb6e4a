#include "Mouse.h"
#include "NSTheme.h"
#include "Pixels.h"
#include "ProgressView.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "UIUnderlineLabel.h"
#include "UIView.h"

#include <QFontInfo>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

const QColor magenta(255, 0, 255);

bool samePixel(const QImage& image, int x, int y, const QColor& expected)
{
    const QColor actual = pixel(image, x, y);
    if (!sameColor(actual, expected)) {
        qWarning("pixel %d,%d is %s, expected %s", x, y, qPrintable(describe(actual)), qPrintable(describe(expected)));
        return false;
    }
    return true;
}

} // namespace

class TestUIView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layerIsPainted();
    void hoverOnlyAfterTheHighlightIsRead();
    void hoverUsesBorderAndBackgroundOnly();
    void clickCounts_data();
    void clickCounts();

    void overlaySwallowsClicks();

    void rowGeometry_data();
    void rowGeometry();
    void standardRowLook();
    void nonEditableRowTakesEveryClick();
    void editableRowTypesInTheValueOnly();

    void underlineReachesPastTheLabel();
    void underlineFollowsTheLabel();
};

void TestUIView::layerIsPainted()
{
    UIView view;
    view.resize(80, 60);
    QVERIFY(samePixel(grabWidget(view), 40, 30, magenta)); // nothing painted yet

    view.background().setColor(NSTheme::accent());
    view.border().setColor(NSTheme::link());
    view.border().setWidth(3);
    view.border().setRadius(12);
    const QImage image = grabWidget(view);
    QVERIFY(samePixel(image, 40, 30, NSTheme::accent()));
    QVERIFY(samePixel(image, 40, 0, NSTheme::link()));
    QVERIFY(samePixel(image, 40, 2, NSTheme::link()));
    QVERIFY(samePixel(image, 40, 3, NSTheme::accent()));
    QVERIFY(samePixel(image, 79, 30, NSTheme::link()));
    QVERIFY(samePixel(image, 0, 0, magenta));
    QVERIFY(samePixel(image, 2, 2, magenta));
    QVERIFY(samePixel(image, 79, 59, magenta));
}

void TestUIView::hoverOnlyAfterTheHighlightIsRead()
{
    UIView view;
    view.resize(50, 50);
    view.background().setColor(NSTheme::accent());
    QVERIFY(showActive(view));
    enter(view);
    QVERIFY(!view.isHovered());
    QVERIFY(!view.isEnableTrackingArea());

    view.highlight().background().setColor(NSTheme::accentHover());
    QVERIFY(view.isEnableTrackingArea());
    QVERIFY(samePixel(grabWidget(view), 25, 25, NSTheme::accent()));
    enter(view);
    QVERIFY(samePixel(grabWidget(view), 25, 25, NSTheme::accentHover()));
    leave(view);
    QVERIFY(samePixel(grabWidget(view), 25, 25, NSTheme::accent()));
}

void TestUIView::hoverUsesBorderAndBackgroundOnly()
{
    UIView view;
    view.resize(50, 50);
    view.border().setWidth(2);
    view.border().setColor(QColor(Qt::black));
    view.highlight().border().setColor(QColor(Qt::white));
    view.highlight().border().setWidth(0); // keeps 2
    QVERIFY(showActive(view));

    enter(view);
    const QImage hovered = grabWidget(view);
    QVERIFY(samePixel(hovered, 25, 1, QColor(Qt::white)));
    QVERIFY(samePixel(hovered, 25, 2, magenta));
    QVERIFY(!view.highlight().hasText());

    leave(view);
    QVERIFY(samePixel(grabWidget(view), 25, 1, QColor(Qt::black)));
}

void TestUIView::clickCounts_data()
{
    QTest::addColumn<QList<int>>("timestamps");
    QTest::addColumn<QList<bool>>("doubles");
    QTest::addColumn<int>("singles");
    QTest::addColumn<int>("doubleClicks");

    QTest::newRow("single click") << QList<int>{1000} << QList<bool>{false} << 1 << 0;
    QTest::newRow("double click") << QList<int>{1000, 1100} << QList<bool>{false, true} << 1 << 1;
    QTest::newRow("triple click") << QList<int>{1000, 1100, 1200} << QList<bool>{false, true, false} << 1 << 1;
    QTest::newRow("four quick clicks") << QList<int>{1000, 1100, 1200, 1300} << QList<bool>{false, true, false, false}
                                       << 1 << 1;
    QTest::newRow("slow clicks") << QList<int>{1000, 20000} << QList<bool>{false, false} << 2 << 0;
}

void TestUIView::clickCounts()
{
    QFETCH(QList<int>, timestamps);
    QFETCH(QList<bool>, doubles);
    QFETCH(int, singles);
    QFETCH(int, doubleClicks);

    UIView view;
    view.resize(60, 60);
    int single = 0;
    int twice = 0;
    view.event().setSignleClickBlock([&] { ++single; });
    view.event().setDoubleClickBlock([&] { ++twice; });
    for (qsizetype i = 0; i < timestamps.size(); ++i) {
        const auto time = static_cast<quint64>(timestamps[i]);
        press(view, QPoint(30, 30), time, doubles[i]);
        release(view, QPoint(30, 30), time + 10);
    }
    QCOMPARE(single, singles);
    QCOMPARE(twice, doubleClicks);
}

void TestUIView::overlaySwallowsClicks()
{
    UIView view;
    view.resize(300, 200);
    int clicks = 0;
    view.event().setSignleClickBlock([&] { ++clicks; });
    QVERIFY(showActive(view));
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(clicks, 1);

    view.showLoading();
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(150, 100));
    QCOMPARE(clicks, 1);

    view.hideLoading();
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(clicks, 2);
}

void TestUIView::rowGeometry_data()
{
    QTest::addColumn<qreal>("hintWidth");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("hint");
    QTest::addColumn<QRect>("label");

    QTest::newRow("settings row, 380 wide, caption 100")
        << 100.0 << QSize(380, 34) << QRect(0, 0, 100, 34) << QRect(100, 0, 278, 34);
    QTest::newRow("narrow caption") << 40.0 << QSize(200, 20) << QRect(0, 0, 40, 20) << QRect(40, 0, 158, 20);
    QTest::newRow("caption wider than the row")
        << 300.0 << QSize(200, 20) << QRect(0, 0, 300, 20) << QRect(300, 0, 0, 20);
}

void TestUIView::rowGeometry()
{
    QFETCH(qreal, hintWidth);
    QFETCH(QSize, size);
    QFETCH(QRect, hint);
    QFETCH(QRect, label);

    UIInteractiveView row(hintWidth, false);
    row.resize(size);
    row.show(); // a hidden widget gets its resize only when shown
    QCOMPARE(row.hint().parentWidget(), &row);
    QCOMPARE(row.label().parentWidget(), &row);
    QCOMPARE(row.hint().geometry(), hint);
    QCOMPARE(row.label().geometry(), label);
}

void TestUIView::standardRowLook()
{
    std::unique_ptr<UIInteractiveView> row(UIInteractiveView::standardRow(QStringLiteral("代码署名:"), 100, false));
    row->resize(380, 34);
    QCOMPARE(row->hint().stringValue(), QStringLiteral("代码署名:"));
    QCOMPARE(row->hint().textColor(), NSTheme::hint());
    QCOMPARE(row->label().textColor(), NSTheme::accentHover());
    QCOMPARE(QFontInfo(row->hint().font()).pixelSize(), 16);
    QCOMPARE(QFontInfo(row->label().font()).pixelSize(), 16);

    const QImage image = grabWidget(*row);
    QVERIFY(samePixel(image, 0, 17, NSTheme::accent()));   // 1-point border on the left
    QVERIFY(samePixel(image, 1, 17, QColor(Qt::white)));   // then white ground
    QVERIFY(samePixel(image, 300, 0, NSTheme::accent()));  // top border
    QVERIFY(samePixel(image, 300, 33, NSTheme::accent())); // bottom border
    QVERIFY(samePixel(image, 300, 17, QColor(Qt::white))); // empty value
    QVERIFY(samePixel(image, 0, 0, magenta));              // radius 5
    QVERIFY(samePixel(image, 379, 33, magenta));

    // The caption shows in its grey somewhere in its column.
    bool grey = false;
    for (int x = 1; x < 100 && !grey; ++x) {
        for (int y = 1; y < 33 && !grey; ++y) {
            grey = sameColor(pixel(image, x, y), NSTheme::hint(), 12);
        }
    }
    QVERIFY(grey);
}

void TestUIView::nonEditableRowTakesEveryClick()
{
    std::unique_ptr<UIInteractiveView> row(UIInteractiveView::standardRow(QStringLiteral("类名前缀:"), 100, false));
    row->resize(380, 34);
    int clicks = 0;
    row->event().setSignleClickBlock([&] { ++clicks; });
    QVERIFY(row->hint().isIgnoresMouseEvents());
    QVERIFY(row->label().isIgnoresMouseEvents());
    QVERIFY(showActive(*row));

    QCOMPARE(row->childAt(50, 17), nullptr);
    QCOMPARE(row->childAt(200, 17), nullptr);
    QTest::mouseClick(row->windowHandle(), Qt::LeftButton, {}, QPoint(50, 17));
    QTest::mouseClick(row->windowHandle(), Qt::LeftButton, {}, QPoint(200, 17));
    QCOMPARE(clicks, 2);
}

void TestUIView::editableRowTypesInTheValueOnly()
{
    std::unique_ptr<UIInteractiveView> row(UIInteractiveView::standardRow(QStringLiteral("模型名称:"), 100, true));
    row->resize(380, 34);
    QVERIFY(!row->hint().isIgnoresMouseEvents());
    QVERIFY(!row->label().isIgnoresMouseEvents());
    QVERIFY(row->label().isEditable());
    QVERIFY(!row->hint().isEditable());
    QVERIFY(showActive(*row));

    QCOMPARE(row->childAt(200, 17), &row->label());
    row->label().setFocus();
    QTest::keyClicks(&row->label(), QStringLiteral("Root"));
    QCOMPARE(row->label().stringValue(), QStringLiteral("Root"));
    row->hint().setFocus();
    QTest::keyClicks(&row->hint(), QStringLiteral("x"));
    QCOMPARE(row->hint().stringValue(), QStringLiteral("模型名称:"));
}

void TestUIView::underlineReachesPastTheLabel()
{
    UIView container;
    container.resize(300, 100);
    container.background().setColor(QColor(Qt::white));
    auto* title = new UIUnderlineLabel(&container);
    title->setGeometry(20, 20, 200, 34);
    title->setStringValue(QStringLiteral("输出配置"));
    container.show(); // geometry changes of hidden widgets are delivered on show

    QCOMPARE(title->textColor(), NSTheme::link());
    QCOMPARE(QFontInfo(title->font()).pixelSize(), 18);
    QCOMPARE(title->underline().parentWidget(), &container);
    QCOMPARE(title->underline().geometry(), QRect(15, 53, 210, 1));

    const QImage image = grabWidget(container);
    QVERIFY(samePixel(image, 15, 53, NSTheme::link()));
    QVERIFY(samePixel(image, 224, 53, NSTheme::link()));
    QVERIFY(samePixel(image, 14, 53, QColor(Qt::white)));
    QVERIFY(samePixel(image, 225, 53, QColor(Qt::white)));
    QVERIFY(samePixel(image, 120, 54, QColor(Qt::white)));
    QVERIFY(samePixel(image, 120, 52, QColor(236, 236, 236))); // the label's light grey ground
    QVERIFY(samePixel(image, 21, 21, QColor(236, 236, 236)));
}

void TestUIView::underlineFollowsTheLabel()
{
    UIView container;
    container.resize(300, 100);
    auto* title = new UIUnderlineLabel;
    title->setParent(&container);
    title->setGeometry(40, 10, 100, 30);
    container.show();
    QCOMPARE(title->underline().geometry(), QRect(35, 39, 110, 1));
    title->move(60, 50);
    QCOMPARE(title->underline().geometry(), QRect(55, 79, 110, 1));

    QPointer<UIView> underline = &title->underline();
    delete title;
    QVERIFY(underline.isNull());
}

QTEST_MAIN(TestUIView)
#include "TestUIView.moc"
