// The kit under the screens: light or dark from the desktop portal and who hears a switch, the controls as
// the user sees and uses them (painted layers, hover, clicks, text fields) and delayed calls.

#include "Async.h"
#include "FakeAppearanceProbe.h"
#include "MXBaseViewController.h"
#include "NSAppleInterfaceTheme.h"
#include "NSTheme.h"
#include "PortalAppearanceProbe.h"
#include "UIButton.h"
#include "UILabel.h"
#include "UIView.h"
#include "Widgets.h"

#include <QApplication>
#include <QDBusVariant>
#include <QFontInfo>
#include <QTest>
#include <QThread>

#include <limits>

using namespace morvex;
using namespace morvex::test;

namespace {

// The extent of the ink (pixels clearly darker than a white ground) of a rendered field.
QRect findInk(const QImage& image, int darkerThan = 128)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pixel(image, x, y).lightness() < darkerThan)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

class ListeningScreen : public MXBaseViewController
{
public:
    QList<bool> heard;

protected:
    void systemInterfaceThemeChanged(bool isLight) override { heard.append(isLight); }
};

} // namespace

class TestKit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portalColorScheme_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("style");
        const QVariant dark(QStringLiteral("Dark"));
        QTest::newRow("1, prefer dark") << QVariant::fromValue(1u) << dark;
        QTest::newRow("0, no preference") << QVariant::fromValue(0u) << QVariant();
        QTest::newRow("1 inside one variant, as SettingChanged sends it")
            << QVariant::fromValue(QDBusVariant(1u)) << dark;
        QTest::newRow("a signed 1 still means dark") << QVariant(1) << dark;
        QTest::newRow("the text 1 is not a colour scheme") << QVariant(QStringLiteral("1")) << QVariant();
    }

    void portalColorScheme()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, style);
        QCOMPARE(PortalAppearanceProbe::styleFromColorScheme(value), style);
    }

    void eachSwitchIsHeardOnceByEveryLivingScreen()
    {
        auto probe = std::make_unique<FakeAppearanceProbe>();
        FakeAppearanceProbe* fake = probe.get();
        NSAppleInterfaceTheme::shared().setProbe(std::move(probe));
        ListeningScreen first;
        auto second = std::make_unique<ListeningScreen>();
        fake->setDark();
        fake->setDark();                   // the probe repeats itself
        second.reset();                    // a screen that is gone hears nothing (the sanitizers would say so)
        fake->set(QStringLiteral("dark")); // only "Dark" is dark: a switch
        fake->setLight();                  // still light: no switch
        QCOMPARE(first.heard, QList<bool>({false, true}));
        QVERIFY(NSAppleInterfaceTheme::shared().isLight());

        // A new probe is no switch, and the theme reads it at once.
        NSAppleInterfaceTheme::shared().setProbe(std::make_unique<FakeAppearanceProbe>(QStringLiteral("Dark")));
        QVERIFY(!NSAppleInterfaceTheme::shared().isLight());
        QCOMPARE(first.heard.size(), 2);
    }

    void hoverLaysTheHighlightOverTheLayer_data()
    {
        QTest::addColumn<qreal>("normalWidth");
        QTest::addColumn<qreal>("hoverWidth");
        QTest::addColumn<bool>("hoverBorderColor");
        QTest::addColumn<int>("shownWidth");
        QTest::newRow("the hover width replaces the normal one") << 1.0 << 3.0 << true << 3;
        QTest::newRow("hover width 0 keeps the normal width") << 2.0 << 0.0 << true << 2;
        QTest::newRow("no hover border colour keeps the normal colour") << 2.0 << 0.0 << false << 2;
    }

    void hoverLaysTheHighlightOverTheLayer()
    {
        QFETCH(qreal, normalWidth);
        QFETCH(qreal, hoverWidth);
        QFETCH(bool, hoverBorderColor);
        QFETCH(int, shownWidth);
        UIButton button;
        button.setFocusPolicy(Qt::NoFocus); // the focus ring of a lone window would cover the border
        button.resize(100, 40);
        QVERIFY(showActive(button));
        button.background().setColor(NSTheme::accent());
        button.border().setColor(QColor(Qt::black));
        button.border().setWidth(normalWidth);
        enter(button);
        QVERIFY(!button.isHovered()); // no hover look until the highlight is asked for
        button.highlight().background().setColor(NSTheme::accentHover());
        button.highlight().border().setWidth(hoverWidth);
        if (hoverBorderColor)
            button.highlight().border().setColor(QColor(Qt::white));
        EXPECT_PIXEL(grabWidget(button), 50, 20, NSTheme::accent()); // the highlight waits for the pointer

        enter(button);
        const QImage hovered = grabWidget(button);
        EXPECT_PIXEL(hovered, 50, 20, NSTheme::accentHover());
        const QColor border = hoverBorderColor ? QColor(Qt::white) : QColor(Qt::black);
        EXPECT_PIXEL(hovered, 50, shownWidth - 1, border);
        EXPECT_PIXEL(hovered, 50, shownWidth, NSTheme::accentHover());
        leave(button);
        const QImage left = grabWidget(button);
        EXPECT_PIXEL(left, 50, 20, NSTheme::accent());
        EXPECT_PIXEL(left, 50, 0, QColor(Qt::black));
    }

    void onlyTheActiveWindowShowsHover()
    {
        QWidget window;
        window.resize(200, 100);
        auto* button = new UIButton(&window);
        button->setGeometry(0, 0, 100, 40);
        button->background().setColor(NSTheme::accent());
        button->highlight().background().setColor(NSTheme::accentHover());
        QVERIFY(showActive(window));
        enter(*button);
        EXPECT_PIXEL(grabWidget(*button), 50, 20, NSTheme::accentHover());
        QWidget other;
        other.resize(50, 50);
        QVERIFY(showActive(other)); // deactivating drops the hover look
        EXPECT_PIXEL(grabWidget(*button), 50, 20, NSTheme::accent());
        enter(*button); // and an inactive window takes none
        EXPECT_PIXEL(grabWidget(*button), 50, 20, NSTheme::accent());
    }

    void theStandardButtonLooksAndActsAsOne()
    {
        int calls = 0;
        auto target = std::make_unique<QObject>();
        std::unique_ptr<UIButton> button(
            UIButton::standardButton(QStringLiteral("确定"), target.get(), [&] { ++calls; }));
        button->resize(120, 48);
        QCOMPARE(button->titleColor(), std::optional<QColor>(QColor(Qt::white)));
        QCOMPARE(QFontInfo(button->font()).pixelSize(), 18);
        const QImage normal = grabWidget(*button);
        EXPECT_PIXEL(normal, 3, 24, NSTheme::accent());
        EXPECT_PIXEL(normal, 0, 0, magenta); // rounded
        QVERIFY(showActive(*button));
        enter(*button);
        EXPECT_PIXEL(grabWidget(*button), 3, 24, NSTheme::accentHover());
        leave(*button);
        EXPECT_PIXEL(grabWidget(*button), 3, 24, NSTheme::accent());
        // The action runs while its target lives.
        QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
        target.reset();
        QTest::mouseClick(button.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(calls, 1);
    }

    void aCheckedButtonShowsTheAlternateImage()
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
        EXPECT_PIXEL(grabWidget(button), 30, 15, QColor(Qt::blue));
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_PIXEL(grabWidget(button), 30, 15, QColor(Qt::green));
    }

    void clicksAreCounted_data()
    {
        // Each press: timestamp, x, and whether the platform reported it as a double click.
        QTest::addColumn<bool>("label");
        QTest::addColumn<QList<int>>("timestamps");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<QList<bool>>("doubles");
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("doubleClicks");
        for (const bool label : {false, true}) {
            const char* on = label ? "label" : "view";
            QTest::addRow("%s: single", on)
                << label << QList<int>{1000} << QList<int>{10} << QList<bool>{false} << 1 << 0;
            QTest::addRow("%s: double", on)
                << label << QList<int>{1000, 1100} << QList<int>{10, 10} << QList<bool>{false, true} << 1 << 1;
            QTest::addRow("%s: nothing for a third", on)
                << label << QList<int>{1000, 1100, 1200} << QList<int>{10, 10, 10} << QList<bool>{false, true, false}
                << 1 << 1;
            QTest::addRow("%s: far apart in time", on)
                << label << QList<int>{1000, 20000} << QList<int>{10, 10} << QList<bool>{false, false} << 2 << 0;
            QTest::addRow("%s: far apart in space", on)
                << label << QList<int>{1000, 1100} << QList<int>{10, 150} << QList<bool>{false, false} << 2 << 0;
        }
    }

    void clicksAreCounted()
    {
        QFETCH(bool, label);
        QFETCH(QList<int>, timestamps);
        QFETCH(QList<int>, xs);
        QFETCH(QList<bool>, doubles);
        QFETCH(int, singles);
        QFETCH(int, doubleClicks);
        UIView view;
        UILabel field;
        QWidget& target = label ? static_cast<QWidget&>(field) : view;
        target.resize(200, 30);
        Event& events = label ? field.event() : view.event();
        int single = 0;
        int twice = 0;
        events.setSignleClickBlock([&] { ++single; });
        events.setDoubleClickBlock([&] { ++twice; });
        for (qsizetype i = 0; i < timestamps.size(); ++i) {
            const auto time = static_cast<quint64>(timestamps[i]);
            clickAt(target, QPoint(xs[i], 15), time, doubles[i]);
        }
        QCOMPARE(single, singles);
        QCOMPARE(twice, doubleClicks);
    }

    void textIsInsetAndCentred()
    {
        UITextField field;
        field.resize(200, 40);
        field.setStringValue(QStringLiteral("HHHH"));
        field.setUsesSingleLineMode(true);
        field.background().setColor(QColor(Qt::white));
        field.text().setColor(QColor(Qt::black));
        field.text().setFontSize(16);
        const QRect ink = findInk(grabWidget(field));
        // "H" has a small side bearing.
        QVERIFY2(ink.left() >= 5 && ink.left() <= 9, qPrintable(QString::number(ink.left())));
        QVERIFY2(std::abs(ink.top() - (39 - ink.bottom())) <= 4, qPrintable(QString::number(ink.top())));
        field.setUsesSingleLineMode(false); // several lines start at the top left
        const QRect lines = findInk(grabWidget(field));
        QVERIFY(lines.left() < 5 && lines.top() < 10);
    }

    void aLongLabelShowsItsEnd()
    {
        UILabel label;
        label.resize(120, 30);
        label.background().setColor(QColor(Qt::white));
        label.text().setColor(QColor(Qt::black));
        // Only the end is dark: head truncation shows it at the right edge, inside the padding.
        label.setStringValue(QString(60, u'i') + QStringLiteral("WWWW"));
        const QRect head = findInk(grabWidget(label));
        QVERIFY(head.right() > 100 && head.right() <= 115);
        const int headCut = findInk(grabWidget(label).copy(90, 0, 30, 30), 60).width();
        label.setLineBreakMode(UITextField::LineBreakMode::TruncatingTail);
        const int tailCut = findInk(grabWidget(label).copy(90, 0, 30, 30), 60).width();
        QVERIFY2(headCut > tailCut, qPrintable(QStringLiteral("%1 vs %2").arg(headCut).arg(tailCut)));
    }

    void aDelayedCallRunsOnceLaterOnItsQueueThreadWhileTheQueueLives()
    {
        int calls = 0;
        QThread* ranOn = nullptr;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            Async::delay(0.0, qApp, [&] {
                ++calls;
                ranOn = QThread::currentThread();
            });
        }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QTRY_COMPARE(calls, 1);
        QCOMPARE(ranOn, qApp->thread());
        auto queue = std::make_unique<QObject>();
        Async::delay(0.0, queue.get(), [&] { ++calls; });
        QCOMPARE(calls, 1); // never synchronously
        queue.reset();
        bool later = false;
        Async::delay(std::numeric_limits<double>::quiet_NaN(), nullptr, [&] { later = true; }); // as zero
        QTRY_VERIFY(later);
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(TestKit)
#include "TestKit.moc"
