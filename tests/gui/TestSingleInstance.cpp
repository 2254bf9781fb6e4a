// One running copy per user: the first copy listens, a later one hands over and ends.

#include "SingleInstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace morvex;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFirstCopyListensAndALaterOneHandsOver()
    {
        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("morvex.socket"));
        SingleInstance first(socket);
        QCOMPARE(first.claim(), SingleInstance::Claim::primary);
        QVERIFY(first.isPrimary());
        QSignalSpy activations(&first, &SingleInstance::activationRequested);

        SingleInstance second(socket);
        QCOMPARE(second.claim(), SingleInstance::Claim::forwarded);
        QVERIFY(!second.isPrimary());
        QVERIFY(activations.wait(5000));
        QCOMPARE(activations.size(), 1);
    }

    void aSocketLeftByACrashedCopyIsTakenOver()
    {
        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("morvex.socket"));
        {
            // A listening socket file whose owner went away without cleaning up.
            QLocalServer stale;
            stale.setSocketOptions(QLocalServer::UserAccessOption);
            QVERIFY(stale.listen(socket));
            stale.close();
            QFile leftover(socket);
            QVERIFY(leftover.open(QIODevice::WriteOnly));
        }
        SingleInstance instance(socket);
        QCOMPARE(instance.claim(), SingleInstance::Claim::primary);
    }

    void otherMessagesAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("another word") << QByteArrayLiteral("quit\n");
        QTest::newRow("the word without its line end") << QByteArrayLiteral("activate");
        QTest::newRow("a flood of bytes") << QByteArray(4096, 'a');
    }

    void otherMessagesAreIgnored()
    {
        QFETCH(QByteArray, message);
        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("morvex.socket"));
        SingleInstance first(socket);
        QCOMPARE(first.claim(), SingleInstance::Claim::primary);
        QSignalSpy activations(&first, &SingleInstance::activationRequested);

        QLocalSocket client;
        client.connectToServer(socket);
        QVERIFY(client.waitForConnected(5000));
        client.write(message);
        QVERIFY(client.waitForBytesWritten(5000));
        client.disconnectFromServer();
        // A proper request afterwards still gets through, and only it.
        QVERIFY(SingleInstance::activateRunning(socket));
        QVERIFY(activations.wait(5000));
        QCOMPARE(activations.size(), 1);
    }

    void nobodyRunningMeansNoHandOver()
    {
        QTemporaryDir folder;
        QVERIFY(!SingleInstance::activateRunning(folder.filePath(QStringLiteral("nobody.socket")), 500));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
