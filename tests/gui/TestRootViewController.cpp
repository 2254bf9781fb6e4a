// The road of one conversion through the real screens: the main screen, the settings sheet, the alert,
// the files on disk and the code view.

#include "AlertViewController.h"
#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "SettingViewController.h"
#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "Workspace.h"
#include "morvex/SettingValues.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

using namespace morvex;
using namespace morvex::test;

namespace {

QString golden(const QString& name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/golden/") + name;
}

QString goldenInput(const QString& name)
{
    return QString::fromUtf8(readAll(golden(name) + QStringLiteral("/input.json"))).trimmed();
}

void click(QAbstractButton* button)
{
    QVERIFY(button);
    QVERIFY2(button->isVisible(), qPrintable(button->text()));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Types like a user: Latin-1 keys one by one, other characters as an input method would commit them.
void typeText(QWidget* widget, const QString& text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const bool latin = text[i].unicode() < 0x100;
        qsizetype end = i;
        while (end < text.size() && (text[end].unicode() < 0x100) == latin)
            ++end;
        const QString run = text.mid(i, end - i);
        if (latin) {
            QTest::keyClicks(widget, run);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QApplication::sendEvent(widget, &commit);
        }
        i = end;
    }
}

void replaceText(UIInteractiveView* row, const QString& text)
{
    QVERIFY(row);
    UILabel& field = row->label();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    typeText(&field, text);
    QCOMPARE(field.stringValue(), text);
}

} // namespace

class TestRootViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHome(m_home); }

    void init()
    {
        m_fixture = std::make_unique<ScreenFixture>();
        m_root = std::make_unique<RootViewController>(m_fixture->context());
        m_root->resize(1000, 700);
        m_root->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_root.get()));
    }

    void cleanup()
    {
        if (AlertViewController* alert = AlertViewController::current())
            alert->disappear();
        m_root.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_fixture.reset();
    }

    void convertsThroughTheSheetIntoTheChosenFolder_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("objectiveC");
        QTest::addColumn<bool>("structs");
        QTest::addColumn<int>("mappingStyle"); // -1: none chosen, else the option's tag; 2: faithful models
        QTest::addColumn<QStringList>("rows"); // author, company, prefix, root name; empty keeps the stored ones
        QTest::addColumn<QString>("stored");

        const QString defaults = QString::fromUtf8(defaultSettingSave.data(), qsizetype(defaultSettingSave.size()));
        QTest::newRow("Swift classes with the remembered defaults")
            << QStringLiteral("swift-class-sample") << false << false << -1 << QStringList() << defaults;
        QTest::newRow("Swift structs with a typed author, company, prefix and root name")
            << QStringLiteral("swift-struct-sample") << false << true << -1
            << QStringList{QString::fromUtf8(u8"张三"), QStringLiteral("Acme Labs"), QStringLiteral("ZZ"),
                           QStringLiteral("shop")}
            << QString::fromUtf8(u8"张三,Acme Labs,ZZ,shop");
        QTest::newRow("Objective-C with the MJExtension mapping")
            << QStringLiteral("objc-mjextension-sample") << true << false << 1 << QStringList() << defaults;
        QTest::newRow("Objective-C with hand-written parsing chosen explicitly")
            << QStringLiteral("objc-none-sample") << true << false << 0 << QStringList() << defaults;
        QTest::newRow("Objective-C after trying Struct, which stays off")
            << QStringLiteral("objc-none-sample") << true << true << -1 << QStringList() << defaults;
        QTest::newRow("faithful Swift: a top-level array's elements merged into the root type")
            << QStringLiteral("swift-faithful-top-level-array") << false << false << 2 << QStringList() << defaults;
    }

    void convertsThroughTheSheetIntoTheChosenFolder()
    {
        QFETCH(QString, expected);
        QFETCH(bool, objectiveC);
        QFETCH(bool, structs);
        QFETCH(int, mappingStyle);
        QFETCH(QStringList, rows);
        QFETCH(QString, stored);

        QTest::keyClicks(m_root->jsonTextView(), goldenInput(expected));
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QVERIFY(!AlertViewController::current());

        // The sheet as it opens.
        QCOMPARE(sheet->size(), QSize(SettingViewController::width, SettingViewController::height));
        QVERIFY(sheet->swiftBtn()->isChecked());
        QVERIFY(!sheet->ocBtn()->isChecked());
        QVERIFY(sheet->classBtn()->isChecked());
        QVERIFY(!sheet->structBtn()->isChecked());
        QVERIFY(!sheet->configView()->isVisible());
        QCOMPARE(sheet->baseInput()->label().stringValue(), QStringLiteral("Codable"));
        QCOMPARE(sheet->outputFolder(), QString::fromUtf8(u8"代码输出路径："));
        QCOMPARE(sheet->authorInput()->label().stringValue(), QStringLiteral("Lintrel"));

        if (objectiveC) {
            click(sheet->ocBtn());
            QVERIFY(sheet->configView()->isVisible());
            QCOMPARE(sheet->baseInput()->label().stringValue(), QStringLiteral("NSObject"));
        }
        if (structs)
            click(sheet->structBtn());
        QCOMPARE(sheet->structBtn()->isChecked(), structs && !objectiveC);
        QCOMPARE(sheet->classBtn()->isChecked(), !(structs && !objectiveC));
        if (mappingStyle >= 0)
            click(mappingStyle == 2 ? sheet->faithfulBtn() : sheet->configBtn().at(std::size_t(mappingStyle)).data());
        if (!rows.isEmpty()) {
            replaceText(sheet->authorInput(), rows[0]);
            replaceText(sheet->copyrightInput(), rows[1]);
            replaceText(sheet->prefixInput(), rows[2]);
            replaceText(sheet->nameInput(), rows[3]);
        }

        const QString folder = m_fixture->makeFolder(QStringLiteral("out"));
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        QCOMPARE(sheet->outputFolder(), folder);
        click(sheet->doBtn());

        QVERIFY2(!AlertViewController::current(),
                 qPrintable(AlertViewController::current() ? AlertViewController::current()->titleLabel()->stringValue()
                                                           : QString()));
        QVERIFY(!m_root->presentedSetting());
        const QString expectedFolder = golden(expected) + QStringLiteral("/files");
        QCOMPARE(fileNames(folder), fileNames(expectedFolder));
        for (const QString& name : fileNames(expectedFolder))
            QCOMPARE(readAll(folder + u'/' + name), readAll(expectedFolder + u'/' + name));
        QCOMPARE(m_root->codeTextView()->toPlainText(),
                 QString::fromUtf8(readAll(golden(expected) + QStringLiteral("/display.txt"))));
        QCOMPARE(QString::fromStdString(m_fixture->store().string(settingSaveKey)), stored);
        // The JSON stays as typed.
        QCOMPARE(m_root->jsonTextView()->toPlainText(), goldenInput(expected));
    }

    void emptyInputShowsTheAlertAndOpensNoSheet()
    {
        m_root->codeTextView()->setPlainText(QStringLiteral("earlier result"));
        click(m_root->convetBtn());

        QVERIFY(!m_root->presentedSetting());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QVERIFY(QTest::qWaitForWindowExposed(alert));
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"请输入JSON字符串"));
        QCOMPARE(alert->msgLabel()->stringValue(), QString());
        QCOMPARE(alert->cancelBtn()->title(), QString::fromUtf8(u8"好的"));

        click(alert->cancelBtn());
        QVERIFY(!AlertViewController::current());
        QCOMPARE(m_root->codeTextView()->toPlainText(), QStringLiteral("earlier result"));
        QCOMPARE(m_root->jsonTextView()->toPlainText(), QString());
    }

    void aSingleSpaceOpensTheSheet()
    {
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral(" "));
        click(m_root->convetBtn());
        QVERIFY(m_root->presentedSetting());
        QVERIFY(!AlertViewController::current());
    }

    void theBackButtonSavesNothingAndLeavesTheCodeView()
    {
        m_root->codeTextView()->setPlainText(QStringLiteral("earlier result"));
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"id\": 1}"));
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        replaceText(sheet->authorInput(), QStringLiteral("Someone Else"));
        const QString folder = m_fixture->makeFolder(QStringLiteral("untouched"));
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        click(sheet->backbtn());

        QVERIFY(!m_root->presentedSetting());
        QCOMPARE(m_root->codeTextView()->toPlainText(), QStringLiteral("earlier result"));
        QCOMPARE(fileNames(folder), QStringList());
        QCOMPARE(m_fixture->store().string(settingSaveKey), std::string());

        // The next sheet starts from what is stored, not from what was typed.
        click(m_root->convetBtn());
        QVERIFY(m_root->presentedSetting());
        QCOMPARE(m_root->presentedSetting()->authorInput()->label().stringValue(), QStringLiteral("Lintrel"));
    }

    void longLinesAreBrokenForDisplayOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("atLeastLines");
        QString records;
        for (int i = 0; i < 400; ++i)
            records += QStringLiteral("{\"id\":%1,\"s\":\"a, b: [c\\\"\"},").arg(i);
        QTest::newRow("one long line of records, commas inside strings")
            << QStringLiteral("[") + records + QStringLiteral("{}]") << 60;
        QTest::newRow("a string longer than any line, with CJK and an emoji")
            << QStringLiteral("{\"s\":\"") + QString::fromUtf8(u8"名😀").repeated(2000) + QStringLiteral("\"}\n") << 4;
        QTest::newRow("short lines stay as they are") << QStringLiteral("{\n  \"a\": 1,\n  \"b\": [2]\n}") << 4;
        QTest::newRow("text holding the break mark is shown unbroken")
            << QStringLiteral("[\"\u2063\",") + records + QStringLiteral("1]") << 1;
    }

    void longLinesAreBrokenForDisplayOnly()
    {
        QFETCH(QString, text);
        QFETCH(int, atLeastLines);
        JSONTextView* view = m_root->jsonTextView();
        auto* data = new QMimeData;
        data->setText(text);
        QGuiApplication::clipboard()->setMimeData(data);
        view->paste();
        QCOMPARE(view->text(), text);
        QVERIFY(view->document()->blockCount() >= atLeastLines);
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
            QVERIFY(block.length() < 1000 || atLeastLines == 1);
        // Places in the text are found in the view, and a copy is the text itself.
        for (qsizetype offset : {qsizetype(0), text.size() / 3, text.size() - 1}) {
            if (text[offset].isLowSurrogate())
                --offset;
            QTextCursor cursor(view->document());
            cursor.setPosition(view->documentPosition(offset));
            cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            QCOMPARE(JSONTextView::withoutDisplayBreaks(cursor.selectedText()),
                     text.mid(offset, text[offset].isHighSurrogate() ? 2 : 1));
        }
        view->selectAll();
        view->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
    }

    void textThatIsNotJSONIsNamedAndWritesNothing_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("where");
        QTest::newRow("cut short") << QStringLiteral("{\"a\": [1, 2") << QString::fromUtf8(u8"第 1 行，第 12 列：");
        QTest::newRow("on the third line, after CJK text")
            << QString::fromUtf8(u8"{\n  \"名\": \"值\",\n  \"b\": tru\n}")
            << QString::fromUtf8(u8"第 3 行，第 8 列：");
    }

    void textThatIsNotJSONIsNamedAndWritesNothing()
    {
        QFETCH(QString, json);
        QFETCH(QString, where);
        m_root->codeTextView()->setPlainText(QStringLiteral("earlier result"));
        m_root->jsonTextView()->setText(json);
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        const QString folder = m_fixture->makeFolder(QStringLiteral("notjson"));
        QFile good(folder + QStringLiteral("/MXRootModel.swift"));
        QVERIFY(good.open(QIODevice::WriteOnly) && good.write("good") == 4);
        good.close();
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        click(sheet->doBtn());

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"JSON 格式不正确"));
        QVERIFY2(alert->msgLabel()->stringValue().startsWith(where), qPrintable(alert->msgLabel()->stringValue()));
        QVERIFY(alert->msgLabel()->stringValue().size() > where.size()); // and the reason
        QCOMPARE(fileNames(folder), QStringList{QStringLiteral("MXRootModel.swift")});
        QCOMPARE(readAll(folder + QStringLiteral("/MXRootModel.swift")), QByteArray("good"));
        QCOMPARE(m_root->codeTextView()->toPlainText(), QStringLiteral("earlier result"));
        QCOMPARE(m_root->resultLabel()->text(), QString());
        QCOMPARE(m_root->jsonTextView()->text(), json);
    }

    void theWindowSaysWhatWasWrittenWhereAndOpensIt_data()
    {
        QTest::addColumn<bool>("objectiveC");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("files");
        QTest::newRow("Swift, the folder opens") << false << true << 3;
        QTest::newRow("Objective-C, the folder cannot be opened") << true << false << 6;
    }

    void theWindowSaysWhatWasWrittenWhereAndOpensIt()
    {
        QFETCH(bool, objectiveC);
        QFETCH(bool, opens);
        QFETCH(int, files);
        QList<QUrl> opened;
        const auto previous = Workspace::shared().setOpener([&](const QUrl& url) {
            opened << url;
            return opens;
        });
        QVERIFY(m_root->resultLabel()->text().isEmpty());
        QVERIFY(m_root->openFolderButton()->isHidden());
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"a\": {\"b\": 1}, \"c\": [{\"d\": 2}]}"));
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        if (objectiveC)
            click(sheet->ocBtn());
        const QString folder = m_fixture->makeFolder(QStringLiteral("written"));
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        click(sheet->doBtn());

        QCOMPARE(fileNames(folder).size(), files);
        QCOMPARE(m_root->resultLabel()->text(), QString::fromUtf8(u8"已将 %1 个文件写入 %2").arg(files).arg(folder));
        click(m_root->openFolderButton());
        Workspace::shared().setOpener(previous);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
        AlertViewController* alert = AlertViewController::current();
        QCOMPARE(alert != nullptr, !opens);
        if (alert) {
            QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"无法打开文件夹"));
            QCOMPARE(alert->msgLabel()->stringValue(), folder);
        }
    }

    void filesThatCouldNotBeWrittenAreNamedInTheAlert_data()
    {
        QTest::addColumn<bool>("objectiveC");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("Swift") << false << QStringList{QStringLiteral("MXRootModel.swift")};
        QTest::newRow("Objective-C") << true
                                     << QStringList{QStringLiteral("MXRootModel.h"), QStringLiteral("MXRootModel.m")};
    }

    void filesThatCouldNotBeWrittenAreNamedInTheAlert()
    {
        QFETCH(bool, objectiveC);
        QFETCH(QStringList, named);

        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"id\": 1}"));
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        if (objectiveC)
            click(sheet->ocBtn());
        // The chosen folder is gone by the time the files are written.
        const QString folder = m_fixture->makeFolder(QStringLiteral("vanishing"));
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        QVERIFY(QDir(folder).removeRecursively());
        click(sheet->doBtn());

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"代码文件未能写入"));
        for (const QString& name : named)
            QVERIFY2(alert->msgLabel()->stringValue().contains(name), qPrintable(alert->msgLabel()->stringValue()));
        QCOMPARE(alert->cancelBtn()->title(), QString::fromUtf8(u8"好的"));
        // The generated code is still shown.
        QVERIFY(m_root->codeTextView()->toPlainText().contains(QStringLiteral("MXRootModel")));
        QVERIFY(!QDir(folder).exists());
    }

    void findingsAreCountedAndChoosingOneSelectsItsPlace_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("selected");
        QTest::newRow("null dropped, later members, a key that is no identifier")
            << QStringLiteral("{\"memo\":null,\"list\":[{\"a\":1},{\"b\":2}],\"first-name\":1}") << 4
            << QStringLiteral("$.list[1].b") << QStringLiteral("\"b\"");
        QTest::newRow("after non-ASCII text and an emoji")
            << QString::fromUtf8(u8"{\"名字\":\"张三😀\",\n \"memo\":null}") << 1 << QStringLiteral("$.memo")
            << QStringLiteral("null");
        QTest::newRow("at the end of a line broken for display")
            << QStringLiteral("{\"pad\":[") + QStringLiteral("1,").repeated(2000) + QStringLiteral("1],\"memo\":null}")
            << 1 << QStringLiteral("$.memo") << QStringLiteral("null");
    }

    void findingsAreCountedAndChoosingOneSelectsItsPlace()
    {
        QFETCH(QString, json);
        QFETCH(int, count);
        QFETCH(QString, path);
        QFETCH(QString, selected);
        QVERIFY(m_root->findingsButton()->isHidden());
        m_root->jsonTextView()->setText(json);
        convertInto(QStringLiteral("findings"));
        QVERIFY(!AlertViewController::current());

        QCOMPARE(m_root->findingsButton()->text(), QString::fromUtf8(u8"%1 条提示").arg(count));
        click(m_root->findingsButton());
        QListWidget* list = m_root->findingsList();
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), count);
        const auto items = list->findItems(path + QString::fromUtf8(u8"："), Qt::MatchStartsWith);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
        QVERIFY(!list->isVisible());
        QCOMPARE(JSONTextView::withoutDisplayBreaks(m_root->jsonTextView()->textCursor().selectedText()), selected);
    }

    void moreThanTenThousandTypesAreWrittenOnlyWhenConfirmed_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("declined") << false;
        QTest::newRow("confirmed") << true;
    }

    void moreThanTenThousandTypesAreWrittenOnlyWhenConfirmed()
    {
        QFETCH(bool, confirm);
        QStringList members;
        for (int i = 0; i <= 10'000; ++i) // 10,001 members and the root
            members << QStringLiteral("\"m%1\":{}").arg(i);
        m_root->codeTextView()->setPlainText(QStringLiteral("earlier result"));
        m_root->jsonTextView()->setText(QStringLiteral("{%1}").arg(members.join(u',')));
        const QString folder = convertInto(QStringLiteral("many"));

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert && alert->confirmBtn());
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"将生成 10002 个类型"));
        QCOMPARE(fileNames(folder), QStringList());
        click(confirm ? alert->confirmBtn() : alert->cancelBtn());
        QVERIFY(!AlertViewController::current());
        QCOMPARE(fileNames(folder).size(), confirm ? 10'002 : 0);
        QCOMPARE(m_root->codeTextView()->toPlainText() == QStringLiteral("earlier result"), !confirm);
    }

    void aSecondConversionReplacesTheWholeCodeView()
    {
        m_root->codeTextView()->setPlainText(QStringLiteral("a long earlier result\nwith two lines"));
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"id\": 1}"));
        convertInto(QStringLiteral("again"));
        QVERIFY(m_root->codeTextView()->toPlainText().startsWith(QStringLiteral("class MXRootModel: Codable {")));
        QVERIFY(!m_root->codeTextView()->toPlainText().contains(QStringLiteral("earlier")));
    }

private:
    // Confirms a fresh sheet with a new folder of that name, which it returns.
    QString convertInto(const QString& name)
    {
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        const QString folder = m_fixture->makeFolder(name);
        if (!sheet)
            return folder;
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        click(sheet->doBtn());
        return folder;
    }

    QTemporaryDir m_home;
    std::unique_ptr<ScreenFixture> m_fixture;
    std::unique_ptr<RootViewController> m_root;
};

QTEST_MAIN(TestRootViewController)
#include "TestRootViewController.moc"
