// The settings sheet: its initial state, the option buttons, the checks with their alerts, saving.

#include "AlertViewController.h"
#include "HostWindow.h"
#include "ScreenTestSupport.h"
#include "SettingViewController.h"
#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "UITextField.h"
#include "morvex/SettingValues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QShortcut>
#include <QTest>

using namespace morvex;
using namespace morvex::test;

namespace {

QString describe(const QWidget* widget)
{
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return QString::fromLatin1(widget->metaObject()->className()) + u' ' + (button ? button->text() : QString());
}

struct Options
{
    bool swift, oc, isClass, isStruct, configShown;
    QString base;
};

} // namespace

class TestSettingViewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHome(m_home); }

    void init()
    {
        m_fixture = std::make_unique<ScreenFixture>();
        m_host = test::shownHostWindow(1000, 700);
        QVERIFY(m_host);
    }

    void cleanup()
    {
        if (AlertViewController* alert = AlertViewController::current())
            alert->disappear();
        m_host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_fixture.reset();
    }

    void opensWithTheStoredValues_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QStringList>("shown");
        const QStringList defaults{QStringLiteral("Lintrel"), QString::fromUtf8(u8"Morvex 科技有限公司"),
                                   QStringLiteral("MX"), QStringLiteral("RootModel")};
        QTest::newRow("nothing stored shows the defaults") << std::optional<QString>() << defaults;
        QTest::newRow("an empty stored text shows the defaults") << std::optional<QString>(QString()) << defaults;
        QTest::newRow("stored values come back in their rows")
            << std::optional<QString>(QString::fromUtf8(u8"李四,示例公司,AB,user"))
            << QStringList{QString::fromUtf8(u8"李四"), QString::fromUtf8(u8"示例公司"), QStringLiteral("AB"),
                           QStringLiteral("user")};
    }

    void opensWithTheStoredValues()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(QStringList, shown);
        if (stored)
            QVERIFY(!m_fixture->store().set(stored->toStdString(), settingSaveKey));

        SettingViewController* sheet = present();
        QCOMPARE(sheet->authorInput()->label().stringValue(), shown[0]);
        QCOMPARE(sheet->copyrightInput()->label().stringValue(), shown[1]);
        QCOMPARE(sheet->prefixInput()->label().stringValue(), shown[2]);
        QCOMPARE(sheet->nameInput()->label().stringValue(), shown[3]);
        QCOMPARE(sheet->baseInput()->label().stringValue(), QStringLiteral("Codable"));
        QCOMPARE(sheet->outputFolder(), QString::fromUtf8(u8"代码输出路径："));
        QCOMPARE(sheet->authorInput()->hint().stringValue(), QString::fromUtf8(u8"代码署名:"));
        QCOMPARE(sheet->baseInput()->hint().stringValue(), QString::fromUtf8(u8"基类/协议:"));
        QVERIFY(sheet->swiftBtn()->isChecked());
        QVERIFY(sheet->classBtn()->isChecked());
        QVERIFY(!sheet->ocBtn()->isChecked());
        QVERIFY(!sheet->structBtn()->isChecked());
        QVERIFY(!sheet->faithfulBtn()->isChecked());
        QVERIFY(sheet->configView()->isHidden());
        QVERIFY(sheet->adjustType.isNone());
        QVERIFY(!sheet->isCommit);
    }

    void isAFixedSizeSheetLaidOutAsDescribed_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("back button") << QStringLiteral("back") << QRect(20, 22, 34, 22);
        QTest::newRow("Swift option") << QStringLiteral("swift") << QRect(60, 119, 120, 34);
        QTest::newRow("Objective-C option") << QStringLiteral("oc") << QRect(240, 119, 120, 34);
        QTest::newRow("Class option") << QStringLiteral("class") << QRect(420, 119, 120, 34);
        QTest::newRow("Struct option") << QStringLiteral("struct") << QRect(600, 119, 150, 34);
        QTest::newRow("mapping-style row") << QStringLiteral("config") << QRect(60, 163, 780, 32);
        QTest::newRow("author row") << QStringLiteral("author") << QRect(60, 205, 380, 34);
        QTest::newRow("company row") << QStringLiteral("company") << QRect(460, 205, 380, 34);
        QTest::newRow("prefix row") << QStringLiteral("prefix") << QRect(60, 249, 380, 34);
        QTest::newRow("root name row") << QStringLiteral("name") << QRect(460, 249, 380, 34);
        QTest::newRow("base class row") << QStringLiteral("base") << QRect(60, 293, 380, 34);
        QTest::newRow("faithful option beside it") << QStringLiteral("faithful") << QRect(460, 293, 0, 34);
        QTest::newRow("choose button") << QStringLiteral("choose") << QRect(752, 342, 88, 28);
        QTest::newRow("confirm button") << QStringLiteral("confirm") << QRect(60, 477, 780, 48);
    }

    void isAFixedSizeSheetLaidOutAsDescribed()
    {
        QFETCH(QString, part);
        QFETCH(QRect, frame);
        SettingViewController* sheet = present();
        QCOMPARE(sheet->size(), QSize(900, 585));
        QCOMPARE(sheet->minimumSize(), sheet->maximumSize());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        const QHash<QString, QWidget*> parts{
            {QStringLiteral("back"), sheet->backbtn()},       {QStringLiteral("swift"), sheet->swiftBtn()},
            {QStringLiteral("oc"), sheet->ocBtn()},           {QStringLiteral("class"), sheet->classBtn()},
            {QStringLiteral("struct"), sheet->structBtn()},   {QStringLiteral("config"), sheet->configView()},
            {QStringLiteral("author"), sheet->authorInput()}, {QStringLiteral("company"), sheet->copyrightInput()},
            {QStringLiteral("prefix"), sheet->prefixInput()}, {QStringLiteral("name"), sheet->nameInput()},
            {QStringLiteral("base"), sheet->baseInput()},     {QStringLiteral("choose"), sheet->pathBtn()},
            {QStringLiteral("confirm"), sheet->doBtn()},      {QStringLiteral("faithful"), sheet->faithfulBtn()},
        };
        QWidget* widget = parts.value(part);
        QVERIFY(widget);
        if (frame.width() == 0) // as wide as its title
            frame.setWidth(widget->width());
        QCOMPARE(QRect(widget->mapTo(sheet, QPoint(0, 0)), widget->size()), frame);
    }

    void hangsFromTheTopCentreOfItsWindowAndMovesWithIt()
    {
        SettingViewController* sheet = present();
        QVERIFY(sheet->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(sheet->pos(), m_host->mapToGlobal(QPoint((1000 - 900) / 2, 0)));
        m_host->move(m_host->pos() + QPoint(40, 30));
        QTRY_COMPARE(sheet->pos(), m_host->mapToGlobal(QPoint((1000 - 900) / 2, 0)));
        // The window below is dimmed while the sheet is open, and only then.
        const QColor open = m_host->grab().toImage().pixelColor(5, 690);
        sheet->disappear();
        const QColor closed = m_host->grab().toImage().pixelColor(5, 690);
        QVERIFY2(open.lightness() < closed.lightness(), qPrintable(open.name() + u' ' + closed.name()));
    }

    void optionButtonsKeepAConsistentPair_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("swift");
        QTest::addColumn<bool>("oc");
        QTest::addColumn<bool>("isClass");
        QTest::addColumn<bool>("isStruct");
        QTest::addColumn<bool>("configShown");
        QTest::addColumn<QString>("base");
        const QString codable = QStringLiteral("Codable");
        const QString nsobject = QStringLiteral("NSObject");
        QTest::newRow("Objective-C turns Swift off and shows the mapping styles")
            << QStringList{QStringLiteral("oc")} << false << true << true << false << true << nsobject;
        QTest::newRow("Struct stays off while Objective-C is on")
            << QStringList{QStringLiteral("oc"), QStringLiteral("struct")} << false << true << true << false << true
            << nsobject;
        QTest::newRow("Class stays on while Objective-C is on")
            << QStringList{QStringLiteral("oc"), QStringLiteral("class")} << false << true << true << false << true
            << nsobject;
        QTest::newRow("Swift clicked while on switches to Objective-C")
            << QStringList{QStringLiteral("swift")} << false << true << true << false << true << nsobject;
        QTest::newRow("Objective-C clicked while on switches back to Swift")
            << QStringList{QStringLiteral("oc"), QStringLiteral("oc")} << true << false << true << false << false
            << codable;
        QTest::newRow("back to Swift hides the mapping styles and restores Codable")
            << QStringList{QStringLiteral("oc"), QStringLiteral("swift")} << true << false << true << false << false
            << codable;
        QTest::newRow("Struct with Swift turns Class off")
            << QStringList{QStringLiteral("struct")} << true << false << false << true << false << codable;
        QTest::newRow("Class clicked while on switches to Struct")
            << QStringList{QStringLiteral("class")} << true << false << false << true << false << codable;
        QTest::newRow("Objective-C after Struct brings Class back")
            << QStringList{QStringLiteral("struct"), QStringLiteral("oc")} << false << true << true << false << true
            << nsobject;
    }

    void optionButtonsKeepAConsistentPair()
    {
        QFETCH(QStringList, clicks);
        QFETCH(bool, swift);
        QFETCH(bool, oc);
        QFETCH(bool, isClass);
        QFETCH(bool, isStruct);
        QFETCH(bool, configShown);
        QFETCH(QString, base);

        SettingViewController* sheet = present();
        const QHash<QString, UIButton*> buttons{{QStringLiteral("swift"), sheet->swiftBtn()},
                                                {QStringLiteral("oc"), sheet->ocBtn()},
                                                {QStringLiteral("class"), sheet->classBtn()},
                                                {QStringLiteral("struct"), sheet->structBtn()}};
        for (const QString& name : clicks)
            QTest::mouseClick(buttons.value(name), Qt::LeftButton);

        QCOMPARE(sheet->swiftBtn()->isChecked(), swift);
        QCOMPARE(sheet->ocBtn()->isChecked(), oc);
        QCOMPARE(sheet->classBtn()->isChecked(), isClass);
        QCOMPARE(sheet->structBtn()->isChecked(), isStruct);
        QCOMPARE(sheet->configView()->isVisible(), configShown);
        QCOMPARE(sheet->baseInput()->label().stringValue(), base);
    }

    void aTypedBaseClassIsReplacedOnEverySwitch()
    {
        SettingViewController* sheet = present();
        sheet->baseInput()->label().setStringValue(QStringLiteral("Decodable"));
        QTest::mouseClick(sheet->ocBtn(), Qt::LeftButton);
        QCOMPARE(sheet->baseInput()->label().stringValue(), QStringLiteral("NSObject"));
        sheet->baseInput()->label().setStringValue(QStringLiteral("MyBase"));
        QTest::mouseClick(sheet->swiftBtn(), Qt::LeftButton);
        QCOMPARE(sheet->baseInput()->label().stringValue(), QStringLiteral("Codable"));
    }

    void mappingStylesAreExclusive_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("mjExtension");
        QTest::addColumn<bool>("manualOn");
        QTest::addColumn<bool>("mjOn");
        QTest::newRow("MJExtension chosen") << QList<int>{1} << true << false << true;
        QTest::newRow("MJExtension clicked again goes back to none") << QList<int>{1, 1} << false << false << false;
        QTest::newRow("hand-written parsing after MJExtension turns it off")
            << QList<int>{1, 0} << false << true << false;
        QTest::newRow("MJExtension after hand-written parsing") << QList<int>{0, 1} << true << false << true;
    }

    void mappingStylesAreExclusive()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(bool, mjExtension);
        QFETCH(bool, manualOn);
        QFETCH(bool, mjOn);

        SettingViewController* sheet = present();
        QTest::mouseClick(sheet->ocBtn(), Qt::LeftButton);
        QCOMPARE(sheet->configBtn().size(), std::size_t(2));
        QCOMPARE(sheet->configBtn()[0]->title(), QString::fromUtf8(u8"手动解析"));
        QCOMPARE(sheet->configBtn()[1]->title(), QString::fromUtf8(u8"MJExtension解析"));
        QVERIFY(!sheet->configBtn()[0]->isChecked());
        QVERIFY(!sheet->configBtn()[1]->isChecked());
        for (int tag : clicks)
            QTest::mouseClick(sheet->configBtn()[std::size_t(tag)], Qt::LeftButton);

        QCOMPARE(sheet->adjustType.kind(), mjExtension ? MXAdjustType::Case::mjExtension : MXAdjustType::Case::none);
        QCOMPARE(sheet->configBtn()[0]->isChecked(), manualOn);
        QCOMPARE(sheet->configBtn()[1]->isChecked(), mjOn);
        // Placed side by side from the row's left edge, without gaps.
        QCOMPARE(sheet->configBtn()[0]->x(), 0);
        QCOMPARE(sheet->configBtn()[1]->x(), sheet->configBtn()[0]->width());
    }

    void aFailedCheckShowsItsAlertAndKeepsTheSheet_data()
    {
        QTest::addColumn<bool>("chooseFolder");
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("title");
        const QString noFolder = QString::fromUtf8(u8"选择代码输出路径是必须的");
        const QString emptyRow = QString::fromUtf8(u8"输入项都不能为空");
        QTest::newRow("no folder chosen") << false << QString() << noFolder;
        QTest::newRow("no folder and an empty row: the folder is checked first")
            << false << QStringLiteral("author") << noFolder;
        QTest::newRow("empty author") << true << QStringLiteral("author") << emptyRow;
        QTest::newRow("empty company") << true << QStringLiteral("company") << emptyRow;
        QTest::newRow("empty prefix") << true << QStringLiteral("prefix") << emptyRow;
        QTest::newRow("empty root type name") << true << QStringLiteral("name") << emptyRow;
        QTest::newRow("empty base class") << true << QStringLiteral("base") << emptyRow;
    }

    void aFailedCheckShowsItsAlertAndKeepsTheSheet()
    {
        QFETCH(bool, chooseFolder);
        QFETCH(QString, emptied);
        QFETCH(QString, title);

        SettingViewController* sheet = present();
        int conversions = 0;
        sheet->convertBlack = [&conversions] { ++conversions; };
        const QString folder = m_fixture->makeFolder(QStringLiteral("out"));
        if (chooseFolder) {
            m_fixture->nextFolder = folder;
            QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        }
        if (!emptied.isEmpty())
            row(sheet, emptied)->label().setStringValue(QString());
        const std::vector<std::string> before = sheet->settingValues();

        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), title);
        QCOMPARE(alert->msgLabel()->stringValue(), QString());
        QCOMPARE(alert->cancelBtn()->title(), QString::fromUtf8(u8"好的"));
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

    void aRowHoldingOnlyASpacePassesTheCheck()
    {
        SettingViewController* sheet = present();
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        sheet->authorInput()->label().setStringValue(QStringLiteral(" "));
        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);
        QVERIFY(!AlertViewController::current());
        QVERIFY(sheet->isCommit);
        QCOMPARE(QString::fromStdString(m_fixture->store().string(settingSaveKey)),
                 QString::fromUtf8(u8" ,Morvex 科技有限公司,MX,RootModel"));
    }

    void aValueTheHeaderOrTheStoreCannotHoldIsRefusedWithItsRow_data()
    {
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("title");
        const QString comma = QString::fromUtf8(u8"输入项不能包含英文逗号“,”");
        const QString character = QString::fromUtf8(u8"输入项含有不能使用的字符");
        const QString author = QString::fromUtf8(u8"代码署名");
        const QString company = QString::fromUtf8(u8"版权描述");
        const QString prefix = QString::fromUtf8(u8"类名前缀");
        const QString name = QString::fromUtf8(u8"模型名称");
        QTest::newRow("author, comma") << QStringLiteral("author") << author << QStringLiteral("Acme, Inc") << comma;
        QTest::newRow("company, comma") << QStringLiteral("company") << company << QStringLiteral("Acme, Inc") << comma;
        QTest::newRow("prefix, comma") << QStringLiteral("prefix") << prefix << QStringLiteral("Acme, Inc") << comma;
        QTest::newRow("root type name, comma")
            << QStringLiteral("name") << name << QStringLiteral("Acme, Inc") << comma;
        QTest::newRow("author, line break")
            << QStringLiteral("author") << author << QStringLiteral("Ann\nint x;") << character;
        QTest::newRow("company, line separator")
            << QStringLiteral("company") << company << QStringLiteral("Acme\u2028Inc") << character;
        QTest::newRow("author, bidirectional override (Cf)")
            << QStringLiteral("author") << author << QStringLiteral("Ann\u202E") << character;
        QTest::newRow("prefix, semicolon") << QStringLiteral("prefix") << prefix << QStringLiteral("M;X") << character;
        QTest::newRow("root type name, slash") << QStringLiteral("name") << name << QStringLiteral("a/b") << character;
    }

    void aValueTheHeaderOrTheStoreCannotHoldIsRefusedWithItsRow()
    {
        QFETCH(QString, rowName);
        QFETCH(QString, caption);
        QFETCH(QString, value);
        QFETCH(QString, title);

        SettingViewController* sheet = present();
        int conversions = 0;
        sheet->convertBlack = [&conversions] { ++conversions; };
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        row(sheet, rowName)->label().setStringValue(value);
        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), title);
        QVERIFY2(alert->msgLabel()->stringValue().contains(caption), qPrintable(alert->msgLabel()->stringValue()));
        QTest::mouseClick(alert->cancelBtn(), Qt::LeftButton);
        QVERIFY(sheet->isVisible());
        QVERIFY(!sheet->isCommit);
        QCOMPARE(conversions, 0);
        QCOMPARE(m_fixture->store().string(settingSaveKey), std::string());
        QCOMPARE(row(sheet, rowName)->label().stringValue(), value);
    }

    void aStoreThatCannotBeWrittenIsReportedAndNothingRuns()
    {
        // The store's folder is a plain file, so the store can never be created.
        const QString blocker = m_fixture->path() + QStringLiteral("/blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        KeyValueStore unwritable(QFile::encodeName(blocker + QStringLiteral("/settings.json")).toStdString());
        ScreenContext context = m_fixture->context();
        context.store = &unwritable;

        auto* sheet = new SettingViewController(context);
        sheet->presentAsSheet(m_host.get());
        int conversions = 0;
        sheet->convertBlack = [&conversions] { ++conversions; };
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);

        AlertViewController* alert = AlertViewController::current();
        QVERIFY(alert);
        QCOMPARE(alert->titleLabel()->stringValue(), QString::fromUtf8(u8"设置未能保存"));
        QVERIFY(!alert->msgLabel()->stringValue().isEmpty());
        QVERIFY(sheet->isVisible());
        QVERIFY(!sheet->isCommit);
        QCOMPARE(conversions, 0);
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
        QCOMPARE(m_fixture->chooserRuns, 3);
        // Stored as text of its own, and where the next sheet's chooser opens.
        QCOMPARE(QString::fromStdString(m_fixture->store().string(ScreenContext::lastFolderKey)), folder);
        QCOMPARE(m_fixture->store().string(settingSaveKey), std::string());
        sheet->disappear();
        QTest::mouseClick(present()->pathBtn(), Qt::LeftButton);
        QCOMPARE(m_fixture->chooserStart, folder);
    }

    void tabStopsOnlyWhereTheKeyboardActsAndShowsWhere()
    {
        SettingViewController* sheet = present();
        QApplication::setActiveWindow(sheet); // the headless platform leaves activation to the test
        QTRY_COMPARE(QApplication::activeWindow(), sheet);
        QList<QWidget*> stops;
        while (QWidget* focused = QApplication::focusWidget()) {
            if (stops.contains(focused) || stops.size() > 30)
                break;
            stops << focused;
            const auto* field = qobject_cast<UITextField*>(focused);
            QVERIFY2((field && field->isEditable()) || qobject_cast<QAbstractButton*>(focused),
                     focused->metaObject()->className());
            const QImage shown = focused->grab().toImage();
            QTest::keyClick(focused, Qt::Key_Tab);
            QVERIFY2(focused->grab().toImage() != shown, qPrintable(describe(focused)));
        }
        // Five rows, five options, back, choose and confirm; the hidden mapping styles are no stops.
        QCOMPARE(stops.size(), 13);
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

    void confirmingSavesRecordsTheChoicesAndRunsTheConversionOnceTheSheetHasGone()
    {
        SettingViewController* sheet = present();
        QPointer<SettingViewController> watch(sheet);
        bool visibleDuringConversion = true;
        int conversions = 0;
        bool isSwift = true;
        sheet->convertBlack = [&] {
            ++conversions;
            visibleDuringConversion = sheet->isVisible();
            isSwift = sheet->isSwift;
        };
        QTest::mouseClick(sheet->ocBtn(), Qt::LeftButton);
        QTest::mouseClick(sheet->configBtn()[1], Qt::LeftButton);
        QTest::mouseClick(sheet->faithfulBtn(), Qt::LeftButton);
        sheet->prefixInput()->label().setStringValue(QStringLiteral("ZZ"));
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        QTest::mouseClick(sheet->doBtn(), Qt::LeftButton);

        QCOMPARE(conversions, 1);
        QVERIFY(!visibleDuringConversion);
        QVERIFY(!isSwift);
        QVERIFY(sheet->isCommit);
        QVERIFY(sheet->isClass);
        QVERIFY(!sheet->adjustType.isNone());
        QVERIFY(sheet->isFaithful);
        QCOMPARE(QString::fromStdString(m_fixture->store().string(settingSaveKey)),
                 QString::fromUtf8(u8"Lintrel,Morvex 科技有限公司,ZZ,RootModel"));
        QVERIFY(present()->faithfulBtn()->isChecked()); // remembered for the next sheet
        // The sheet is let go once it has gone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watch);
    }

    void theBackButtonClosesWithoutConversionOrSaving()
    {
        SettingViewController* sheet = present();
        int conversions = 0;
        sheet->convertBlack = [&conversions] { ++conversions; };
        m_fixture->nextFolder = m_fixture->makeFolder(QStringLiteral("out"));
        QTest::mouseClick(sheet->pathBtn(), Qt::LeftButton);
        sheet->nameInput()->label().setStringValue(QStringLiteral("Changed"));
        QTest::mouseClick(sheet->faithfulBtn(), Qt::LeftButton);
        QVERIFY(sheet->backbtn()->isVisible());
        QTest::mouseClick(sheet->backbtn(), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(conversions, 0);
        QCOMPARE(m_fixture->store().string(settingSaveKey), std::string());

        SettingViewController* next = present();
        QCOMPARE(next->nameInput()->label().stringValue(), QStringLiteral("RootModel"));
        QVERIFY(!next->faithfulBtn()->isChecked());
    }

private:
    SettingViewController* present()
    {
        auto* sheet = new SettingViewController(m_fixture->context());
        sheet->presentAsSheet(m_host.get());
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
    std::unique_ptr<QWidget> m_host;
};

QTEST_MAIN(TestSettingViewController)
#include "TestSettingViewController.moc"
