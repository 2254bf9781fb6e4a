// The focus tracker: what it remembers and what it announces on each focus change.

#include "App.h"
#include "Notify.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace morvex;

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_plain = new QPlainTextEdit(m_window.get());
        m_rich = new QTextEdit(m_window.get());
        m_line = new QLineEdit(m_window.get());
        layout->addWidget(m_plain);
        layout->addWidget(m_rich);
        layout->addWidget(m_line);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_line->setFocus();
    }

    void cleanup() { m_window.reset(); }

    void eachFocusChangeIsAnnouncedOnce_data()
    {
        QTest::addColumn<QStringList>("focusOrder");
        QTest::addColumn<QString>("remembered");
        QTest::newRow("into a text area") << QStringList{QStringLiteral("plain")} << QStringLiteral("plain");
        QTest::newRow("from one text area to another")
            << QStringList{QStringLiteral("plain"), QStringLiteral("rich")} << QStringLiteral("rich");
        QTest::newRow("from a text area to a line field")
            << QStringList{QStringLiteral("plain"), QStringLiteral("line")} << QString();
        QTest::newRow("away from everything")
            << QStringList{QStringLiteral("rich"), QStringLiteral("none")} << QString();
    }

    void eachFocusChangeIsAnnouncedOnce()
    {
        QFETCH(QStringList, focusOrder);
        QFETCH(QString, remembered);

        Notify bus;
        App tracker(bus);
        int posts = 0;
        bus.observe(this, App::didChangedFirstResponder(), [&posts](const Notification& note) {
            QVERIFY(!note.object);
            ++posts;
        });
        const QHash<QString, QWidget*> widgets{
            {QStringLiteral("plain"), m_plain}, {QStringLiteral("rich"), m_rich}, {QStringLiteral("line"), m_line}};
        for (const QString& name : focusOrder) {
            if (name == u"none")
                QApplication::focusWidget()->clearFocus();
            else
                widgets.value(name)->setFocus();
        }
        QCOMPARE(posts, int(focusOrder.size()));
        QCOMPARE(tracker.firstViewResponder(), widgets.value(remembered));
        bus.remove(this);
    }

    void theSharedTrackerPostsOnTheApplicationBus()
    {
        int posts = 0;
        App& shared = App::shared();
        QCOMPARE(&App::shared(), &shared);
        Notify::shared().observe(this, App::didChangedFirstResponder(), [&posts](const Notification&) { ++posts; });
        m_plain->setFocus();
        QCOMPARE(posts, 1);
        QCOMPARE(shared.firstViewResponder(), static_cast<QWidget*>(m_plain));
        Notify::shared().remove(this);
    }

private:
    std::unique_ptr<QWidget> m_window;
    QPlainTextEdit* m_plain = nullptr;
    QTextEdit* m_rich = nullptr;
    QLineEdit* m_line = nullptr;
};

QTEST_MAIN(TestApp)
#include "TestApp.moc"
