// The main-screen base: it hears each appearance switch while it lives, and leaves a line when it goes.

#include "FakeAppearanceProbe.h"
#include "MXBaseViewController.h"
#include "NSAppleInterfaceTheme.h"
#include "morvex/BKLog.h"

#include <QTest>

#include <string>
#include <vector>

using namespace morvex;
using namespace morvex::test;

namespace {

class ListeningScreen : public MXBaseViewController
{
public:
    std::vector<bool> heard;

protected:
    void systemInterfaceThemeChanged(bool isLight) override { heard.push_back(isLight); }
};

} // namespace

class TestMXBaseViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        auto probe = std::make_unique<FakeAppearanceProbe>();
        m_probe = probe.get();
        NSAppleInterfaceTheme::shared().setProbe(std::move(probe));
    }

    void eachSwitchReachesTheHookWithTheNewAppearance_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QList<bool>>("heard");
        QTest::newRow("to dark") << QStringList{QStringLiteral("dark")} << QList<bool>{false};
        QTest::newRow("to dark and back")
            << QStringList{QStringLiteral("dark"), QStringLiteral("light")} << QList<bool>{false, true};
    }

    void eachSwitchReachesTheHookWithTheNewAppearance()
    {
        QFETCH(QStringList, switches);
        QFETCH(QList<bool>, heard);
        ListeningScreen screen;
        for (const QString& to : switches) {
            if (to == u"dark")
                m_probe->setDark();
            else
                m_probe->setLight();
        }
        QCOMPARE(QList<bool>(screen.heard.begin(), screen.heard.end()), heard);
    }

    void aScreenThatIsGoneHearsNothingAndLeavesADeinitLine()
    {
        std::vector<std::string> lines;
        const BKLogSink previous = setBKLogSink([&lines](std::string_view value, std::string_view, std::string_view,
                                                         unsigned) { lines.emplace_back(value); });
        {
            ListeningScreen screen;
        }
        setBKLogSink(previous);
        QCOMPARE(lines.size(), std::size_t(1));
        QVERIFY2(lines[0].starts_with("deinit "), lines[0].c_str());
        m_probe->setDark(); // the screen is gone: the switch must not reach it (the sanitizers would say so)
    }

private:
    FakeAppearanceProbe* m_probe = nullptr;
};

QTEST_MAIN(TestMXBaseViewController)
#include "TestMXBaseViewController.moc"
