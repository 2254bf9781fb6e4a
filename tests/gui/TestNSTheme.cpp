#include "NSColor.h"
#include "PaletteAppearanceProbe.h"
#include "PortalAppearanceProbe.h"
#include "PortalSettings.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

using namespace morvex;

namespace {

// Stands in for the desktop portal on a private bus. Lives in its own thread, because the probe reads
// the setting with a blocking call.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    uint colorScheme = 1;

public Q_SLOTS:
    QDBusVariant Read(const QString& nameSpace, const QString& key)
    {
        if (nameSpace == u"org.freedesktop.appearance" && key == u"color-scheme") {
            // Read() answers with a variant inside a variant.
            return QDBusVariant(QVariant::fromValue(QDBusVariant(colorScheme)));
        }
        return QDBusVariant(QVariant(QString()));
    }

Q_SIGNALS:
    void SettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);
};

} // namespace

class TestNSTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nsColorKeepsComponentsOutsideTheRange();

    void portalColorScheme_data();
    void portalColorScheme();
    void portalProbeOverTheBus();
    void portalProbeWithoutPortalIsUnavailable();

    void paletteProbeFollowsTheApplicationPalette();
};

void TestNSTheme::nsColorKeepsComponentsOutsideTheRange()
{
    const QColor color = NSColor(510, -255, 300);
    QCOMPARE(color, color.toExtendedRgb());
    QVERIFY(color != color.toRgb());
    // Half-precision storage: compare to three decimals.
    QCOMPARE(qRound(color.redF() * 1000), 2000);
    QCOMPARE(qRound(color.greenF() * 1000), -1000);
    QVERIFY(qAbs(color.blueF() - 300 / 255.0) < 2e-3);

    // What the screen shows is clamped.
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), color);
    painter.end();
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(255, 0, 255));
}

void TestNSTheme::portalColorScheme_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("style");

    const QVariant dark(QStringLiteral("Dark"));
    QTest::newRow("1, prefer dark") << QVariant::fromValue(1u) << dark;
    QTest::newRow("0, no preference") << QVariant::fromValue(0u) << QVariant();
    QTest::newRow("2, prefer light") << QVariant::fromValue(2u) << QVariant();
    QTest::newRow("1 inside one variant, as SettingChanged sends it") << QVariant::fromValue(QDBusVariant(1u)) << dark;
    QTest::newRow("1 inside two variants, as Read answers")
        << QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(1u)))) << dark;
    QTest::newRow("a signed 1 still means dark") << QVariant(1) << dark;
    QTest::newRow("the text 1 is not a colour scheme") << QVariant(QStringLiteral("1")) << QVariant();
    QTest::newRow("nothing") << QVariant() << QVariant();
}

void TestNSTheme::portalColorScheme()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, style);
    QCOMPARE(PortalAppearanceProbe::styleFromColorScheme(value), style);
}

namespace {

// A session bus of the test's own, ended with the test.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    /// False when there is no dbus-daemon, or it would not start or say its address.
    bool start()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return false;
        m_daemon.start(daemon,
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(10000))
            return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }

    const QString& address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// The fake portal answers from a thread of its own, as a real service would while the probe blocks.
// It is deleted after that thread has stopped, on every way out of the test: a deleteLater posted
// just before quit() may never run.
struct PortalOnItsThread
{
    PortalOnItsThread()
    {
        portal->moveToThread(&thread);
        thread.start();
    }
    ~PortalOnItsThread()
    {
        thread.quit();
        thread.wait();
        delete portal;
    }
    PortalOnItsThread(const PortalOnItsThread&) = delete;
    PortalOnItsThread& operator=(const PortalOnItsThread&) = delete;

    QThread thread;
    FakePortal* portal = new FakePortal;
};

} // namespace

void TestNSTheme::portalProbeOverTheBus()
{
    PrivateBus bus;
    if (!bus.start())
        QSKIP("no dbus-daemon to start a private bus with");
    const QString address = bus.address();
    {
        QDBusConnection serviceSide = QDBusConnection::connectToBus(address, QStringLiteral("fake-portal"));
        QVERIFY(serviceSide.isConnected());
        PortalOnItsThread owner;
        FakePortal* portal = owner.portal;
        // QtDBus attaches helpers to the object, so register it from its own thread.
        bool registered = false;
        QMetaObject::invokeMethod(
            portal,
            [&] {
                registered =
                    serviceSide.registerObject(PortalSettings::objectPath(), portal,
                                               QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(registered);
        QVERIFY(serviceSide.registerService(PortalSettings::serviceName()));

        {
            QDBusConnection clientSide = QDBusConnection::connectToBus(address, QStringLiteral("probe-client"));
            PortalAppearanceProbe probe(clientSide);
            QVERIFY(probe.isAvailable());
            QCOMPARE(probe.interfaceStyle(), QVariant(QStringLiteral("Dark")));

            QSignalSpy changed(&probe, &AppearanceProbe::changed);
            auto emitSetting = [portal](const QString& nameSpace, uint value) {
                QMetaObject::invokeMethod(portal, [portal, nameSpace, value] {
                    Q_EMIT portal->SettingChanged(nameSpace, QStringLiteral("color-scheme"), QDBusVariant(value));
                });
            };
            // A setting of another namespace is not ours; the light switch that follows is.
            emitSetting(QStringLiteral("org.gnome.desktop.interface"), 1);
            emitSetting(QStringLiteral("org.freedesktop.appearance"), 2);
            QTRY_COMPARE(changed.count(), 1);
            QCOMPARE(probe.interfaceStyle(), QVariant());
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("probe-client"));
        QMetaObject::invokeMethod(
            portal, [&] { serviceSide.unregisterObject(PortalSettings::objectPath()); }, Qt::BlockingQueuedConnection);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
}

void TestNSTheme::portalProbeWithoutPortalIsUnavailable()
{
    PrivateBus bus;
    if (!bus.start())
        QSKIP("no dbus-daemon to start a private bus with");
    const QString address = bus.address();
    {
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("lonely-client"));
        PortalAppearanceProbe probe(client, nullptr, QStringLiteral("org.example.NoSuchPortal"));
        QVERIFY(!probe.isAvailable());
        QCOMPARE(probe.interfaceStyle(), QVariant());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("lonely-client"));
}

void TestNSTheme::paletteProbeFollowsTheApplicationPalette()
{
    const QPalette original = QApplication::palette();
    PaletteAppearanceProbe probe;
    QSignalSpy changed(&probe, &AppearanceProbe::changed);

    QPalette light = original;
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    light.setColor(QPalette::WindowText, QColor(10, 10, 10));
    QApplication::setPalette(light);
    QCOMPARE(probe.interfaceStyle(), QVariant());

    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    const auto before = changed.count();
    QApplication::setPalette(dark);
    QVERIFY(changed.count() > before);
    QCOMPARE(probe.interfaceStyle(), QVariant(QStringLiteral("Dark")));

    QApplication::setPalette(original);
}

QTEST_MAIN(TestNSTheme)
#include "TestNSTheme.moc"
