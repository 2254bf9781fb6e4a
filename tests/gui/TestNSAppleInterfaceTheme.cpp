#include "FakeAppearanceProbe.h"
#include "MXBaseView.h"
#include "NSAppleInterfaceTheme.h"
#include "Notify.h"
#include "Pixels.h"

#include <QTest>

#include <memory>

using namespace morvex;
using morvex::test::FakeAppearanceProbe;

namespace {

// Records what reaches the hook; the base class does nothing with it.
class RecordingView : public MXBaseView
{
public:
    using MXBaseView::MXBaseView;
    QList<bool> received;

protected:
    void systemInterfaceThemeChanged(bool isLight) override { received.append(isLight); }
};

} // namespace

class TestNSAppleInterfaceTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void isLightRule_data();
    void isLightRule();
    void isLightIsReadAtEveryCall();

    void eachSwitchIsPostedOnce();
    void replacingTheProbePostsNothing();
    void unsubscribedObserversHearNothing();
    void sharedInstanceAndNotificationName();

    void everyLivingBaseViewHearsEachSwitchOnce();
    void baseViewHearsNothingAfterTeardown();
    void baseViewLooksTheSameAfterASwitch();

private:
    FakeAppearanceProbe* m_sharedProbe = nullptr;
};

void TestNSAppleInterfaceTheme::init()
{
    auto probe = std::make_unique<FakeAppearanceProbe>();
    m_sharedProbe = probe.get();
    NSAppleInterfaceTheme::shared().setProbe(std::move(probe));
}

void TestNSAppleInterfaceTheme::isLightRule_data()
{
    QTest::addColumn<QVariant>("style");
    QTest::addColumn<bool>("light");

    QTest::newRow("no preference set, the light appearance") << QVariant() << true;
    QTest::newRow("Dark") << QVariant(QStringLiteral("Dark")) << false;
    QTest::newRow("dark in lower case") << QVariant(QStringLiteral("dark")) << true;
    QTest::newRow("DARK in upper case") << QVariant(QStringLiteral("DARK")) << true;
    QTest::newRow("Dark with a space") << QVariant(QStringLiteral(" Dark")) << true;
    QTest::newRow("Light") << QVariant(QStringLiteral("Light")) << true;
    QTest::newRow("empty text") << QVariant(QString()) << true;
    QTest::newRow("a number") << QVariant(1) << true;
    QTest::newRow("bytes that spell Dark are not text") << QVariant(QByteArray("Dark")) << true;
}

void TestNSAppleInterfaceTheme::isLightRule()
{
    QFETCH(QVariant, style);
    QFETCH(bool, light);

    QCOMPARE(NSAppleInterfaceTheme::isLight(style), light);
    NSAppleInterfaceTheme theme(std::make_unique<FakeAppearanceProbe>(style));
    QCOMPARE(theme.isLight(), light);
}

void TestNSAppleInterfaceTheme::isLightIsReadAtEveryCall()
{
    auto probe = std::make_unique<FakeAppearanceProbe>();
    FakeAppearanceProbe* fake = probe.get();
    NSAppleInterfaceTheme theme(std::move(probe));
    QVERIFY(theme.isLight());
    fake->setDark();
    QVERIFY(!theme.isLight());
    fake->setLight();
    QVERIFY(theme.isLight());
}

void TestNSAppleInterfaceTheme::eachSwitchIsPostedOnce()
{
    auto probe = std::make_unique<FakeAppearanceProbe>();
    FakeAppearanceProbe* fake = probe.get();
    NSAppleInterfaceTheme theme(std::move(probe));
    QObject subscriber;
    QList<bool> heard;
    theme.subscribe(&subscriber, [&](bool light) { heard.append(light); });

    fake->setDark();
    fake->setDark();                    // the probe repeats itself
    fake->set(QStringLiteral("Light")); // an odd value is light: a switch
    fake->setLight();                   // still light: no switch

    QCOMPARE(heard, QList<bool>({false, true}));
}

void TestNSAppleInterfaceTheme::replacingTheProbePostsNothing()
{
    NSAppleInterfaceTheme theme(std::make_unique<FakeAppearanceProbe>());
    QObject subscriber;
    int heard = 0;
    theme.subscribe(&subscriber, [&](bool) { ++heard; });

    auto dark = std::make_unique<FakeAppearanceProbe>(QStringLiteral("Dark"));
    FakeAppearanceProbe* fake = dark.get();
    theme.setProbe(std::move(dark));
    QCOMPARE(heard, 0);
    QVERIFY(!theme.isLight());

    fake->setLight();
    QCOMPARE(heard, 1);
}

void TestNSAppleInterfaceTheme::unsubscribedObserversHearNothing()
{
    auto probe = std::make_unique<FakeAppearanceProbe>();
    FakeAppearanceProbe* fake = probe.get();
    NSAppleInterfaceTheme theme(std::move(probe));
    QObject stays;
    QObject leaves;
    int staysHeard = 0;
    int leavesHeard = 0;
    theme.subscribe(&stays, [&](bool) { ++staysHeard; });
    theme.subscribe(&leaves, [&](bool) { ++leavesHeard; });

    theme.unsubscribe(&leaves);
    fake->setDark();
    QCOMPARE(staysHeard, 1);
    QCOMPARE(leavesHeard, 0);
    QCOMPARE(theme.notification().registrationCount(&leaves), 0);
}

void TestNSAppleInterfaceTheme::sharedInstanceAndNotificationName()
{
    QCOMPARE(&NSAppleInterfaceTheme::shared(), &NSAppleInterfaceTheme::shared());
    QCOMPARE(&NSAppleInterfaceTheme::shared().notification(), &NSAppleInterfaceTheme::shared().notification());
    QCOMPARE(NSAppleInterfaceTheme::notificationName(), QStringLiteral("AppleInterfaceThemeChangedNotification"));
    // The appearance centre is not the application bus.
    QVERIFY(&NSAppleInterfaceTheme::shared().notification() != &Notify::shared());
}

void TestNSAppleInterfaceTheme::everyLivingBaseViewHearsEachSwitchOnce()
{
    RecordingView first;
    RecordingView second;

    m_sharedProbe->setDark();
    m_sharedProbe->setLight();

    QCOMPARE(first.received, QList<bool>({false, true}));
    QCOMPARE(second.received, QList<bool>({false, true}));
}

void TestNSAppleInterfaceTheme::baseViewHearsNothingAfterTeardown()
{
    RecordingView stays;
    auto leaves = std::make_unique<RecordingView>();
    // Kept as a number: only the address is compared after the object is gone, never dereferenced.
    const volatile auto address = reinterpret_cast<quintptr>(leaves.get());
    Notify::shared().observe(leaves.get(), QStringLiteral("didChangedFirstResponder"), [](const Notification&) {});

    leaves.reset();
    const auto* gone = reinterpret_cast<const QObject*>(address);
    QCOMPARE(NSAppleInterfaceTheme::shared().notification().registrationCount(gone), 0);
    QCOMPARE(Notify::shared().registrationCount(gone), 0);

    m_sharedProbe->setDark();
    QCOMPARE(stays.received, QList<bool>({false}));
}

void TestNSAppleInterfaceTheme::baseViewLooksTheSameAfterASwitch()
{
    MXBaseView view;
    view.resize(40, 30);
    const QImage before = test::grabWidget(view);
    m_sharedProbe->setDark();
    QCOMPARE(test::grabWidget(view), before);
}

QTEST_MAIN(TestNSAppleInterfaceTheme)
#include "TestNSAppleInterfaceTheme.moc"
