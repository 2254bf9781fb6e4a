#include "Notify.h"

#include <QTest>

#include <memory>

using namespace morvex;

class TestNotify : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deliversToMatchingObservers_data();
    void deliversToMatchingObservers();
    void registeringTwiceDeliversOnce();
    void removeDropsEveryRegistrationOfTheObserver();
    void removeWithObjectDropsOnlyThoseRegistrations();
    void destroyedObserverIsForgotten();
    void handlerMayRemoveOthersDuringDelivery();
    void handlerMayRemoveItselfAndPostAgain();
    void sharedBusIsOneInstance();
};

void TestNotify::deliversToMatchingObservers_data()
{
    QTest::addColumn<QString>("observedName");
    QTest::addColumn<bool>("filterBySender");
    QTest::addColumn<QString>("postedName");
    QTest::addColumn<bool>("postFromSender");
    QTest::addColumn<int>("expected");

    QTest::newRow("same name, any sender, posted without object")
        << "didChangedFirstResponder" << false << "didChangedFirstResponder" << false << 1;
    QTest::newRow("same name, any sender, posted with an object")
        << "didChangedFirstResponder" << false << "didChangedFirstResponder" << true << 1;
    QTest::newRow("other name is not delivered")
        << "didChangedFirstResponder" << false << "somethingElse" << false << 0;
    QTest::newRow("empty name observes every name") << "" << false << "somethingElse" << false << 1;
    QTest::newRow("sender filter, posted by that sender") << "n" << true << "n" << true << 1;
    QTest::newRow("sender filter, posted without object") << "n" << true << "n" << false << 0;
}

void TestNotify::deliversToMatchingObservers()
{
    QFETCH(QString, observedName);
    QFETCH(bool, filterBySender);
    QFETCH(QString, postedName);
    QFETCH(bool, postFromSender);
    QFETCH(int, expected);

    Notify bus;
    QObject observer;
    QObject sender;
    int calls = 0;
    Notification seen;
    bus.observe(
        &observer, observedName,
        [&](const Notification& n) {
            ++calls;
            seen = n;
        },
        filterBySender ? &sender : nullptr);
    bus.post(postedName, postFromSender ? &sender : nullptr);

    QCOMPARE(calls, expected);
    if (expected > 0) {
        QCOMPARE(seen.name, postedName);
        QCOMPARE(seen.object, postFromSender ? &sender : nullptr);
    }
}

void TestNotify::registeringTwiceDeliversOnce()
{
    Notify bus;
    QObject observer;
    int first = 0;
    int second = 0;
    bus.observe(&observer, QStringLiteral("n"), [&](const Notification&) { ++first; });
    bus.observe(&observer, QStringLiteral("n"), [&](const Notification&) { ++second; });
    bus.post(QStringLiteral("n"));
    QCOMPARE(first, 0);
    QCOMPARE(second, 1);
    QCOMPARE(bus.registrationCount(&observer), 1);
}

void TestNotify::removeDropsEveryRegistrationOfTheObserver()
{
    Notify bus;
    QObject observer;
    QObject other;
    int observerCalls = 0;
    int otherCalls = 0;
    bus.observe(&observer, QStringLiteral("a"), [&](const Notification&) { ++observerCalls; });
    bus.observe(&observer, QStringLiteral("b"), [&](const Notification&) { ++observerCalls; });
    bus.observe(&other, QStringLiteral("a"), [&](const Notification&) { ++otherCalls; });

    bus.remove(&observer);
    bus.post(QStringLiteral("a"));
    bus.post(QStringLiteral("b"));

    QCOMPARE(observerCalls, 0);
    QCOMPARE(otherCalls, 1);
    QCOMPARE(bus.registrationCount(&observer), 0);
}

void TestNotify::removeWithObjectDropsOnlyThoseRegistrations()
{
    Notify bus;
    QObject observer;
    QObject sender;
    int anySender = 0;
    int fromSender = 0;
    bus.observe(&observer, QStringLiteral("n"), [&](const Notification&) { ++anySender; });
    bus.observe(
        &observer, QStringLiteral("n"), [&](const Notification&) { ++fromSender; }, &sender);

    bus.remove(&observer, &sender);
    bus.post(QStringLiteral("n"), &sender);

    QCOMPARE(anySender, 1);
    QCOMPARE(fromSender, 0);
}

void TestNotify::destroyedObserverIsForgotten()
{
    Notify bus;
    int calls = 0;
    auto observer = std::make_unique<QObject>();
    const QObject* address = observer.get();
    bus.observe(observer.get(), QStringLiteral("n"), [&](const Notification&) { ++calls; });
    observer.reset();

    bus.post(QStringLiteral("n"));
    QCOMPARE(calls, 0);
    QCOMPARE(bus.registrationCount(address), 0);
}

void TestNotify::handlerMayRemoveOthersDuringDelivery()
{
    Notify bus;
    QObject first;
    QObject second;
    int secondCalls = 0;
    bus.observe(&first, QStringLiteral("n"), [&](const Notification&) { bus.remove(&second); });
    bus.observe(&second, QStringLiteral("n"), [&](const Notification&) { ++secondCalls; });

    bus.post(QStringLiteral("n"));
    QCOMPARE(secondCalls, 0);
}

void TestNotify::handlerMayRemoveItselfAndPostAgain()
{
    Notify bus;
    QObject observer;
    int calls = 0;
    bus.observe(&observer, QStringLiteral("n"), [&](const Notification&) {
        ++calls;
        bus.remove(&observer);
        bus.post(QStringLiteral("n"));
    });
    bus.post(QStringLiteral("n"));
    QCOMPARE(calls, 1);
}

void TestNotify::sharedBusIsOneInstance()
{
    QCOMPARE(&Notify::shared(), &Notify::shared());
    QObject observer;
    int calls = 0;
    Notify::shared().observe(&observer, QStringLiteral("didChangedFirstResponder"),
                             [&](const Notification&) { ++calls; });
    Notify::shared().post(QStringLiteral("didChangedFirstResponder"));
    Notify::shared().remove(&observer);
    Notify::shared().post(QStringLiteral("didChangedFirstResponder"));
    QCOMPARE(calls, 1);
}

QTEST_GUILESS_MAIN(TestNotify)
#include "TestNotify.moc"
