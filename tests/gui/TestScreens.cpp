// The screens: the road of one conversion through the main screen, the settings sheet, the alert, the files
// on disk and the code view; the sheet's options, checks and keys.

#include "AlertViewController.h"
#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "SettingViewController.h"
#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "Workspace.h"
#include "morvex/SettingValues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShortcut>
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

// Replaces a row's text as an input method commits it.
void replaceText(UIInteractiveView* row, const QString& text)
{
    QVERIFY(row);
    UILabel& field = row->label();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(&field, &commit);
    QCOMPARE(field.stringValue(), text);
}

} // namespace

class TestScreens : public QObject
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
        // Options clicked: o Objective-C, s Struct, h hand-written parsing, m MJExtension, f faithful models.
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QStringList>("rows"); // author, company, prefix, root name; empty keeps the stored ones
        QTest::addColumn<QString>("stored");
        const QString defaults = QString::fromUtf8(defaultSettingSave.data(), qsizetype(defaultSettingSave.size()));
        QTest::newRow("Swift classes with the remembered defaults")
            << QStringLiteral("swift-class-sample") << QString() << QStringList() << defaults;
        QTest::newRow("Swift structs with a typed author, company, prefix and root name")
            << QStringLiteral("swift-struct-sample") << QStringLiteral("s")
            << QStringList{QString::fromUtf8(u8"张三"), QStringLiteral("Acme Labs"), QStringLiteral("ZZ"),
                           QStringLiteral("shop")}
            << QString::fromUtf8(u8"张三,Acme Labs,ZZ,shop");
        QTest::newRow("Objective-C with the MJExtension mapping")
            << QStringLiteral("objc-mjextension-sample") << QStringLiteral("om") << QStringList() << defaults;
        QTest::newRow("Objective-C with hand-written parsing chosen explicitly")
            << QStringLiteral("objc-none-sample") << QStringLiteral("oh") << QStringList() << defaults;
        QTest::newRow("Objective-C after trying Struct, which stays off")
            << QStringLiteral("objc-none-sample") << QStringLiteral("os") << QStringList() << defaults;
        QTest::newRow("faithful Swift: a top-level array's elements merged into the root type")
            << QStringLiteral("swift-faithful-top-level-array") << QStringLiteral("f") << QStringList() << defaults;
    }

    void convertsThroughTheSheetIntoTheChosenFolder()
    {
        QFETCH(QString, expected);
        QFETCH(QString, clicks);
        QFETCH(QStringList, rows);
        QFETCH(QString, stored);
        QTest::keyClicks(m_root->jsonTextView(), goldenInput(expected));
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QVERIFY(sheet);
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QVERIFY(!AlertViewController::current());
        for (const QChar option : clicks) {
            click(QHash<QChar, QAbstractButton*>{{u'o', sheet->ocBtn()},
                                                 {u's', sheet->structBtn()},
                                                 {u'h', sheet->configBtn().at(0).data()},
                                                 {u'm', sheet->configBtn().at(1).data()},
                                                 {u'f', sheet->faithfulBtn()}}
                      .value(option));
        }
        const QList<UIInteractiveView*> rowViews{sheet->authorInput(), sheet->copyrightInput(), sheet->prefixInput(),
                                                 sheet->nameInput()};
        for (qsizetype i = 0; i < rows.size(); ++i)
            replaceText(rowViews[i], rows[i]);

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
        // The JSON stays as typed, and the next sheet remembers the kind of models.
        QCOMPARE(m_root->jsonTextView()->toPlainText(), goldenInput(expected));
        click(m_root->convetBtn());
        QCOMPARE(m_root->presentedSetting()->faithfulBtn()->isChecked(), clicks.contains(u'f'));
    }

    void emptyInputShowsTheAlertAndOpensNoSheet()
    {
        m_root->codeTextView()->setPlainText(QStringLiteral("earlier result"));
        click(m_root->convetBtn());

        QVERIFY(!m_root->presentedSetting());
        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"请输入JSON字符串"));
        QCOMPARE(alert->cancelBtn()->title(), QString::fromUtf8(u8"好的"));

        click(alert->cancelBtn());
        QVERIFY(!AlertViewController::current());
        QCOMPARE(m_root->codeTextView()->toPlainText(), QStringLiteral("earlier result"));
        QCOMPARE(m_root->jsonTextView()->toPlainText(), QString());
        // A single space is input.
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
        const QString folder = m_fixture->makeFolder(QStringLiteral("notjson"));
        QFile good(folder + QStringLiteral("/MXRootModel.swift"));
        QVERIFY(good.open(QIODevice::WriteOnly) && good.write("good") == 4);
        good.close();
        convertInto(QStringLiteral("notjson"));

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
        QTest::addColumn<bool>("vanishes"); // the chosen folder is gone by the time the files are written
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("files"); // named when they could not be written
        QTest::addColumn<int>("written");
        const QStringList swift{QStringLiteral("MXRootModel.swift")};
        const QStringList objc{QStringLiteral("MXRootModel.h"), QStringLiteral("MXRootModel.m")};
        QTest::newRow("Swift, the folder opens") << false << false << true << swift << 3;
        QTest::newRow("Objective-C, the folder cannot be opened") << true << false << false << objc << 6;
        QTest::newRow("Swift, the folder is gone") << false << true << true << swift << 0;
        QTest::newRow("Objective-C, the folder is gone") << true << true << true << objc << 0;
    }

    void theWindowSaysWhatWasWrittenWhereAndOpensIt()
    {
        QFETCH(bool, objectiveC);
        QFETCH(bool, vanishes);
        QFETCH(bool, opens);
        QFETCH(QStringList, files);
        QFETCH(int, written);
        QList<QUrl> opened;
        const auto previous = Workspace::shared().setOpener([&](const QUrl& url) {
            opened << url;
            return opens;
        });
        QVERIFY(m_root->resultLabel()->text().isEmpty());
        QVERIFY(m_root->openFolderButton()->isHidden());
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"a\": {\"b\": 1}, \"c\": [{\"d\": 2}]}"));
        const QString folder = convertInto(QStringLiteral("written"), objectiveC, vanishes);
        if (vanishes) {
            Workspace::shared().setOpener(previous);
            AlertViewController* alert = AlertViewController::current();
            QVERIFY(alert);
            QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"代码文件未能写入"));
            for (const QString& name : files)
                QVERIFY2(alert->msgLabel()->stringValue().contains(name), qPrintable(alert->msgLabel()->stringValue()));
            // The generated code is still shown.
            QVERIFY(m_root->codeTextView()->toPlainText().contains(QStringLiteral("MXRootModel")));
            QVERIFY(!QDir(folder).exists());
            return;
        }
        QCOMPARE(fileNames(folder).size(), written);
        QCOMPARE(m_root->resultLabel()->text(), QString::fromUtf8(u8"已将 %1 个文件写入 %2").arg(written).arg(folder));
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

    void longCodeIsShownInPartAndWrittenWhole()
    {
        ScreenContext context = m_fixture->context();
        context.codeShownAtMost = 120; // room for more than one type, not for three
        m_root = std::make_unique<RootViewController>(context);
        m_root->show();
        QTest::keyClicks(m_root->jsonTextView(), QStringLiteral("{\"a\": {\"b\": 1}, \"c\": {\"d\": 2}}"));
        const QString folder = convertInto(QStringLiteral("long"));
        QCOMPARE(fileNames(folder).size(), 3);
        const QString shown = m_root->codeTextView()->toPlainText();
        QCOMPARE(shown.count(QStringLiteral("class MX")), 2);
        QVERIFY(shown.endsWith(QString::fromUtf8(u8"}\n\n// 代码太长，只显示到这里（共 3 个类型）\n")));
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

    void aSheetOpensWithTheStoredValues()
    {
        QVERIFY(!m_fixture->store().set(QString::fromUtf8(u8"李四,示例公司,AB,user").toStdString(), settingSaveKey));
        SettingViewController* sheet = present();
        QStringList values;
        for (const char* name : {"author", "company", "prefix", "name", "base"})
            values << row(sheet, QString::fromLatin1(name))->label().stringValue();
        QCOMPARE(values.join(u','), QString::fromUtf8(u8"李四,示例公司,AB,user,Codable"));
        QCOMPARE(sheet->outputFolder(), QString::fromUtf8(u8"代码输出路径："));
        QVERIFY(sheet->swiftBtn()->isChecked() && sheet->classBtn()->isChecked());
        QVERIFY(!sheet->ocBtn()->isChecked() && !sheet->structBtn()->isChecked() && !sheet->faithfulBtn()->isChecked());
        QVERIFY(sheet->configView()->isHidden());
    }

    void optionButtonsKeepAConsistentPair_data()
    {
        // After the clicks: Swift, Objective-C, Class, Struct checked and the mapping styles shown (1 or 0 each),
        // then the base class: N NSObject, C Codable, T the typed one.
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Objective-C turns Swift off") << QStringLiteral("o") << QStringLiteral("01101N");
        QTest::newRow("Struct stays off with Objective-C") << QStringLiteral("os") << QStringLiteral("01101N");
        QTest::newRow("Class stays on with Objective-C") << QStringLiteral("oc") << QStringLiteral("01101N");
        QTest::newRow("Swift clicked while on switches") << QStringLiteral("w") << QStringLiteral("01101N");
        QTest::newRow("Objective-C clicked while on switches") << QStringLiteral("oo") << QStringLiteral("10100C");
        QTest::newRow("back to Swift") << QStringLiteral("ow") << QStringLiteral("10100C");
        QTest::newRow("Struct with Swift turns Class off") << QStringLiteral("s") << QStringLiteral("10010T");
        QTest::newRow("Class clicked while on switches") << QStringLiteral("c") << QStringLiteral("10010T");
        QTest::newRow("Objective-C after Struct brings Class back") << QStringLiteral("so") << QStringLiteral("01101N");
    }

    void optionButtonsKeepAConsistentPair()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, shown);
        SettingViewController* sheet = present();
        const QHash<QChar, UIButton*> buttons{
            {u'w', sheet->swiftBtn()}, {u'o', sheet->ocBtn()}, {u'c', sheet->classBtn()}, {u's', sheet->structBtn()}};
        sheet->baseInput()->label().setStringValue(QStringLiteral("T")); // replaced on every switch of language
        for (const QChar name : clicks)
            QTest::mouseClick(buttons.value(name), Qt::LeftButton);
        QString state;
        for (const bool on :
             {sheet->swiftBtn()->isChecked(), sheet->ocBtn()->isChecked(), sheet->classBtn()->isChecked(),
              sheet->structBtn()->isChecked(), sheet->configView()->isVisible()})
            state += on ? u'1' : u'0';
        state += sheet->baseInput()->label().stringValue().at(0);
        QCOMPARE(state, shown);
    }

    void aRefusedValueShowsItsAlertAndKeepsTheSheet_data()
    {
        QTest::addColumn<bool>("chooseFolder");
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption"); // named in the detail
        const QString noFolder = QString::fromUtf8(u8"选择代码输出路径是必须的");
        const QString emptyRow = QString::fromUtf8(u8"输入项都不能为空");
        const QString comma = QString::fromUtf8(u8"输入项不能包含英文逗号“,”");
        const QString character = QString::fromUtf8(u8"输入项含有不能使用的字符");
        const QString author = QStringLiteral("author");
        QTest::newRow("no folder chosen") << false << QString() << QString() << noFolder << QString();
        QTest::newRow("no folder and an empty row: the folder first")
            << false << author << QString() << noFolder << QString();
        QTest::newRow("empty author") << true << author << QString() << emptyRow << QString();
        QTest::newRow("empty base class") << true << QStringLiteral("base") << QString() << emptyRow << QString();
        QTest::newRow("root type name, comma") << true << QStringLiteral("name") << QStringLiteral("Acme, Inc") << comma
                                               << QString::fromUtf8(u8"模型名称");
        QTest::newRow("company, line separator") << true << QStringLiteral("company") << QStringLiteral("Acme\u2028Inc")
                                                 << character << QString::fromUtf8(u8"版权描述");
        QTest::newRow("author, bidirectional override")
            << true << author << QStringLiteral("Ann\u202E") << character << QString::fromUtf8(u8"代码署名");
        QTest::newRow("prefix, semicolon") << true << QStringLiteral("prefix") << QStringLiteral("M;X") << character
                                           << QString::fromUtf8(u8"类名前缀");
        QTest::newRow("a settings store that cannot be written")
            << true << QStringLiteral("store") << QString() << QString::fromUtf8(u8"设置未能保存") << QString();
    }

    void aRefusedValueShowsItsAlertAndKeepsTheSheet()
    {
        QFETCH(bool, chooseFolder);
        QFETCH(QString, rowName);
        QFETCH(QString, value);
        QFETCH(QString, title);
        QFETCH(QString, caption);
        ScreenContext context = m_fixture->context();
        std::unique_ptr<KeyValueStore> unwritable;
        if (rowName == u"store") { // its folder is a plain file, so it can never be created
            QFile blocker(m_fixture->makeFolder(QString()) + QStringLiteral("/blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            unwritable = std::make_unique<KeyValueStore>(QFile::encodeName(blocker.fileName()).toStdString() + "/s");
            context.store = unwritable.get();
            rowName.clear();
        }
        SettingViewController* sheet = present(context);
        int conversions = 0;
        sheet->convertBlack = [&conversions] { ++conversions; };
        const QString folder = m_fixture->makeFolder(QStringLiteral("out"));
        if (chooseFolder) {
            m_fixture->nextFolder = folder;
            QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        }
        if (!rowName.isEmpty())
            row(sheet, rowName)->label().setStringValue(value);
        const std::vector<std::string> before = sheet->settingValues();
        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), title);
        QVERIFY2(alert->msgLabel()->stringValue().contains(caption), qPrintable(alert->msgLabel()->stringValue()));
        QCOMPARE(alert->parentWidget(), static_cast<QWidget*>(sheet));
        QTest::mouseClick(alert->cancelBtn(), Qt::LeftButton);
        QVERIFY(!AlertViewController::current());
        QVERIFY(sheet->isVisible());
        QVERIFY(!sheet->isCommit);
        QCOMPARE(conversions, 0);
        QCOMPARE(m_fixture->store().string(settingSaveKey), std::string());
        QCOMPARE(sheet->settingValues(), before);
        QCOMPARE(sheet->outputFolder(), chooseFolder ? folder : QString::fromUtf8(u8"代码输出路径："));
    }

    void theChooserOpensInTheLastFolderAndACancelKeepsTheText()
    {
        SettingViewController* sheet = present();
        m_fixture->nextFolder = std::nullopt;
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        QCOMPARE(sheet->outputFolder(), QString::fromUtf8(u8"代码输出路径："));
        QCOMPARE(m_fixture->chooserStart, QString());
        const QString folder = m_fixture->makeFolder(QString::fromUtf8(u8"第一个"));
        m_fixture->nextFolder = folder;
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        m_fixture->nextFolder = std::nullopt;
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        QCOMPARE(sheet->outputFolder(), folder);
        // Stored as text of its own, and where the next sheet's chooser opens.
        QCOMPARE(QString::fromStdString(m_fixture->store().string(ScreenContext::lastFolderKey)), folder);
        sheet->disappear();
        QTest::mouseClick(present()->pathBtn(), Qt::LeftButton);
        QCOMPARE(m_fixture->chooserStart, folder);
    }

    void keysConfirmCloseAndQuit_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("conversions");
        QTest::addColumn<bool>("quits");
        QTest::newRow("Return in a row confirms") << int(Qt::Key_Return) << 0 << 1 << false;
        QTest::newRow("Escape closes") << int(Qt::Key_Escape) << 0 << 0 << false;
        QTest::newRow("Ctrl+Q quits") << int(Qt::Key_Q) << int(Qt::ControlModifier) << 0 << true;
    }

    void keysConfirmCloseAndQuit()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, conversions);
        QFETCH(bool, quits);
        SettingViewController* sheet = present();
        QApplication::setActiveWindow(sheet); // the headless platform leaves activation to the test
        QTRY_COMPARE(QApplication::activeWindow(), sheet);
        int ran = 0;
        sheet->convertBlack = [&ran] { ++ran; };
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        const auto quit = std::make_shared<bool>(false);
        for (auto* shortcut : sheet->findChildren<QShortcut*>())
            connect(shortcut, &QShortcut::activated, this, [quit] { *quit = true; });

        QTest::keyClick(&sheet->prefixInput()->label(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(ran, conversions);
        QCOMPARE(*quit, quits);
        QCOMPARE(sheet->isVisible(), quits);
    }

private:
    // Confirms a fresh sheet with a new folder of that name, which it returns.
    QString convertInto(const QString& name, bool objectiveC = false, bool vanishes = false)
    {
        click(m_root->convetBtn());
        SettingViewController* sheet = m_root->presentedSetting();
        QString folder = m_fixture->makeFolder(name);
        if (!sheet)
            return folder;
        if (objectiveC)
            click(sheet->ocBtn());
        m_fixture->nextFolder = folder;
        click(sheet->pathBtn());
        if (vanishes)
            QDir(folder).removeRecursively();
        click(sheet->doBtn());
        return folder;
    }

    SettingViewController* present(std::optional<ScreenContext> context = std::nullopt)
    {
        auto* sheet = new SettingViewController(context ? *context : m_fixture->context());
        sheet->presentAsSheet(m_root.get());
        return sheet;
    }

    static UIInteractiveView* row(SettingViewController* sheet, const QString& name)
    {
        if (name == u"author")
            return sheet->authorInput();
        if (name == u"company")
            return sheet->copyrightInput();
        if (name == u"prefix")
            return sheet->prefixInput();
        if (name == u"name")
            return sheet->nameInput();
        return sheet->baseInput();
    }

    QTemporaryDir m_home;
    std::unique_ptr<ScreenFixture> m_fixture;
    std::unique_ptr<RootViewController> m_root;
};

QTEST_MAIN(TestScreens)
#include "TestScreens.moc"
