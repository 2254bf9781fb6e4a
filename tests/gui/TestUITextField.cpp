#include "BaseSecureTextFieldCell.h"
#include "Mouse.h"
#include "NSTheme.h"
#include "Pixels.h"
#include "UILabel.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

// Columns holding ink (pixels clearly darker than the white ground) of a rendered field.
struct Ink
{
    int left = -1;
    int right = -1;
    int top = -1;
    int bottom = -1;
};

Ink findInk(const QImage& image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pixel(image, x, y).lightness() < 128) {
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = ink.top < 0 ? y : ink.top;
                ink.bottom = y;
            }
        }
    }
    return ink;
}

} // namespace

class TestUITextField : public QObject
{
    Q_OBJECT

private Q_SLOTS:

    void cellTextRect_data();
    void cellTextRect();
    void textIsInsetAndCentredOnScreen_data();
    void textIsInsetAndCentredOnScreen();
    void longSingleLineTextKeepsItsEnd();

    void singleLineModeChoosesTheLineBreak_data();
    void singleLineModeChoosesTheLineBreak();

    void secureSwitchTakesEffectAtSetUp();
    void setUpKeepsTextFontAndColourOnly();
    void textRecordIsLive();
    void backgroundRecordAlsoSetsTheFieldProperty();

    void labelIsReadOnlyAfterEverySetUp();
    void labelClickCounts_data();
    void labelClickCounts();
    void labelIgnoringMouseEventsLetsClicksThrough();
};

void TestUITextField::cellTextRect_data()
{
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<bool>("singleLine");
    QTest::addColumn<qreal>("expectedX");
    QTest::addColumn<qreal>("expectedWidth");

    QTest::newRow("single line: 5 in from left and right") << QRectF(0, 0, 200, 40) << true << 5.0 << 190.0;
    QTest::newRow("x already equal to the padding: no second inset") << QRectF(5, 0, 200, 40) << true << 5.0 << 200.0;
    QTest::newRow("another x gets the inset") << QRectF(10, 3, 200, 40) << true << 15.0 << 190.0;
    QTest::newRow("a frame lower than a line still gets the inset") << QRectF(0, 0, 200, 4) << true << 5.0 << 190.0;
    QTest::newRow("multi-line: the whole frame") << QRectF(0, 0, 200, 40) << false << 0.0 << 200.0;
}

void TestUITextField::cellTextRect()
{
    QFETCH(QRectF, frame);
    QFETCH(bool, singleLine);
    QFETCH(qreal, expectedX);
    QFETCH(qreal, expectedWidth);

    const BaseTextFieldCell cell;
    const QFont font = QFont();
    const QRectF rect = cell.titleRect(frame, font, singleLine);
    QCOMPARE(rect.x(), expectedX);
    QCOMPARE(rect.width(), expectedWidth);

    if (!singleLine) {
        QCOMPARE(rect, frame);
        return;
    }
    const qreal line = BaseTextFieldCell::lineHeight(font);
    const qreal topInset = rect.top() - frame.top();
    const qreal bottomInset = frame.bottom() - rect.bottom();
    QCOMPARE(topInset, bottomInset);          // centred
    QCOMPARE(topInset, std::floor(topInset)); // on whole points
    QVERIFY(rect.height() >= line);           // never cuts the line
    QVERIFY(rect.height() < line + 2);        // and not more than rounding adds
    if (frame.height() < line) {
        QVERIFY(topInset < 0);
        QVERIFY(rect.height() > frame.height());
    }
}

void TestUITextField::textIsInsetAndCentredOnScreen_data()
{
    QTest::addColumn<bool>("singleLine");
    QTest::addColumn<bool>("secure");
    QTest::newRow("single line") << true << false;
    QTest::newRow("secure") << true << true;
    QTest::newRow("multi-line") << false << false;
}

void TestUITextField::textIsInsetAndCentredOnScreen()
{
    QFETCH(bool, singleLine);
    QFETCH(bool, secure);

    UITextField field;
    field.resize(200, 40);
    field.setStringValue(QStringLiteral("HHHH"));
    field.setSecure(secure);
    field.setupCell();
    field.setUsesSingleLineMode(singleLine);
    field.background().setColor(QColor(Qt::white));
    field.text().setColor(QColor(Qt::black));
    field.text().setFontSize(16);

    const Ink ink = findInk(grabWidget(field));
    QVERIFY(ink.left >= 0);
    if (singleLine) {
        // "H" has a small side bearing; the mask glyph a little more.
        QVERIFY2(ink.left >= 5 && ink.left <= 9, qPrintable(QString::number(ink.left)));
        const int above = ink.top;
        const int below = 39 - ink.bottom;
        QVERIFY2(std::abs(above - below) <= 4, qPrintable(QStringLiteral("%1 above, %2 below").arg(above).arg(below)));
    } else {
        QVERIFY2(ink.left < 5, qPrintable(QString::number(ink.left)));
        QVERIFY2(ink.top < 10, qPrintable(QString::number(ink.top)));
    }
}

void TestUITextField::longSingleLineTextKeepsItsEnd()
{
    UILabel label;
    label.resize(120, 30);
    label.background().setColor(QColor(Qt::white));
    label.text().setColor(QColor(Qt::black));
    // Only the end is dark: head truncation must show it at the right edge.
    label.setStringValue(QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiWWWW"));
    const Ink head = findInk(grabWidget(label));
    QVERIFY(head.right > 100);
    QVERIFY(head.right <= 115); // stays inside the right padding

    // Dark pixels near the right end: the W when the head is cut, only thin i and dots when the tail is.
    auto darkAtTheEnd = [&label] {
        const QImage image = grabWidget(label);
        int dark = 0;
        for (int x = 90; x < 120; ++x) {
            for (int y = 0; y < 30; ++y) {
                dark += pixel(image, x, y).lightness() < 60 ? 1 : 0;
            }
        }
        return dark;
    };
    const int headCut = darkAtTheEnd();
    label.setLineBreakMode(UITextField::LineBreakMode::TruncatingTail);
    const int tailCut = darkAtTheEnd();
    QVERIFY2(headCut > tailCut, qPrintable(QStringLiteral("%1 vs %2").arg(headCut).arg(tailCut)));
}

void TestUITextField::singleLineModeChoosesTheLineBreak_data()
{
    QTest::addColumn<bool>("singleLine");
    QTest::addColumn<int>("mode");
    QTest::newRow("single line truncates at the head, mode 3") << true << 3;
    QTest::newRow("several lines wrap at characters, mode 1") << false << 1;
}

void TestUITextField::singleLineModeChoosesTheLineBreak()
{
    QFETCH(bool, singleLine);
    QFETCH(int, mode);
    UITextField field;
    field.setUsesSingleLineMode(!singleLine);
    field.setUsesSingleLineMode(singleLine);
    QCOMPARE(field.usesSingleLineMode(), singleLine);
    QCOMPARE(static_cast<int>(field.lineBreakMode()), mode);
}

void TestUITextField::secureSwitchTakesEffectAtSetUp()
{
    UITextField field;
    field.setStringValue(QStringLiteral("secret"));
    field.setSecure(true);
    QVERIFY(!field.cell().isSecure());
    QCOMPARE(field.displayText(), QStringLiteral("secret"));

    field.setupCell();
    QVERIFY(field.cell().isSecure());
    QVERIFY(dynamic_cast<BaseSecureTextFieldCell*>(&field.cell()) != nullptr);
    QCOMPARE(field.stringValue(), QStringLiteral("secret"));
    QCOMPARE(field.displayText().size(), 6);
    QVERIFY(!field.displayText().contains(QStringLiteral("secret")));
    QCOMPARE(field.cell().padding(), 5.0);

    field.setSecure(false);
    field.setupCell();
    QVERIFY(!field.cell().isSecure());
    QCOMPARE(field.displayText(), QStringLiteral("secret"));
}

void TestUITextField::setUpKeepsTextFontAndColourOnly()
{
    UITextField field;
    field.setStringValue(QStringLiteral("代码输出路径："));
    field.text().setFontSize(20);
    field.text().setColor(NSTheme::accent());
    field.setPlaceholderText(QStringLiteral("placeholder"));
    field.setAlignment(Qt::AlignRight);
    field.setPadding(9);
    field.setUsesSingleLineMode(false);
    field.setEditable(false);

    field.setupCell();
    QCOMPARE(field.stringValue(), QStringLiteral("代码输出路径："));
    QCOMPARE(QFontInfo(field.font()).pixelSize(), 20);
    QCOMPARE(field.textColor(), NSTheme::accent());
    QCOMPARE(field.placeholderText(), QString());
    QCOMPARE(field.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(field.cell().padding(), 5.0);
    QVERIFY(field.usesSingleLineMode());
    QVERIFY(field.isEditable());
}

void TestUITextField::textRecordIsLive()
{
    UITextField field;
    field.text().setColor(NSTheme::hint());
    QCOMPARE(field.textColor(), NSTheme::hint());
    QCOMPARE(field.palette().color(QPalette::Text), NSTheme::hint());
    field.text().setFontSize(16);
    QCOMPARE(QFontInfo(field.font()).pixelSize(), 16);
    QCOMPARE(field.font().family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

void TestUITextField::backgroundRecordAlsoSetsTheFieldProperty()
{
    UITextField field;
    field.resize(60, 30);
    QVERIFY(field.property("backgroundColor").isValid());
    field.background().setColor(NSTheme::accent());
    QCOMPARE(field.backgroundColor(), NSTheme::accent());
    QCOMPARE(field.property("backgroundColor").value<QColor>(), NSTheme::accent());
    QCOMPARE(pixel(grabWidget(field), 2, 2), NSTheme::accent());
}

void TestUITextField::labelIsReadOnlyAfterEverySetUp()
{
    UILabel label;
    QVERIFY(!label.isEditable());
    label.setEditable(true);
    QVERIFY(label.isEditable());
    label.setupCell();
    QVERIFY(!label.isEditable());
}

void TestUITextField::labelClickCounts_data()
{
    // Each press: timestamp, x, and whether the platform reported it as a double click.
    QTest::addColumn<QList<int>>("timestamps");
    QTest::addColumn<QList<int>>("xs");
    QTest::addColumn<QList<bool>>("doubles");
    QTest::addColumn<int>("singles");
    QTest::addColumn<int>("doubleClicks");

    QTest::newRow("one click runs the single block")
        << QList<int>{1000} << QList<int>{10} << QList<bool>{false} << 1 << 0;
    QTest::newRow("a double click runs single, then double")
        << QList<int>{1000, 1100} << QList<int>{10, 10} << QList<bool>{false, true} << 1 << 1;
    QTest::newRow("a triple click runs each once and nothing for the third")
        << QList<int>{1000, 1100, 1200} << QList<int>{10, 10, 10} << QList<bool>{false, true, false} << 1 << 1;
    QTest::newRow("two clicks far apart in time are two single clicks")
        << QList<int>{1000, 9000} << QList<int>{10, 10} << QList<bool>{false, false} << 2 << 0;
    QTest::newRow("two quick clicks far apart in space are two single clicks")
        << QList<int>{1000, 1100} << QList<int>{10, 150} << QList<bool>{false, false} << 2 << 0;
}

void TestUITextField::labelClickCounts()
{
    QFETCH(QList<int>, timestamps);
    QFETCH(QList<int>, xs);
    QFETCH(QList<bool>, doubles);
    QFETCH(int, singles);
    QFETCH(int, doubleClicks);

    UILabel label;
    label.resize(200, 30);
    int single = 0;
    int twice = 0;
    label.event().setSignleClickBlock([&] { ++single; });
    label.event().setDoubleClickBlock([&] { ++twice; });
    for (qsizetype i = 0; i < timestamps.size(); ++i) {
        const QPoint at(xs[i], 15);
        const auto time = static_cast<quint64>(timestamps[i]);
        press(label, at, time, doubles[i]);
        release(label, at, time + 20);
    }
    QCOMPARE(single, singles);
    QCOMPARE(twice, doubleClicks);
}

void TestUITextField::labelIgnoringMouseEventsLetsClicksThrough()
{
    QWidget window;
    window.resize(200, 60);
    auto* label = new UILabel(&window);
    label->setGeometry(0, 0, 200, 30);
    int labelClicks = 0;
    label->event().setSignleClickBlock([&] { ++labelClicks; });
    QVERIFY(showActive(window));

    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(20, 15));
    QCOMPARE(labelClicks, 1);

    label->setIgnoresMouseEvents(true);
    QVERIFY(label->isIgnoresMouseEvents());
    QCOMPARE(window.childAt(20, 15), nullptr);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(20, 15));
    QCOMPARE(labelClicks, 1);
}

QTEST_MAIN(TestUITextField)
#include "TestUITextField.moc"
