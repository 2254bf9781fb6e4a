// The texts on screen in both languages: the locale picks the language, every text has its English, the
// screens and Qt's own menus follow, and the labels' font draws every character of both.

#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "SettingViewController.h"
#include "SystemFont.h"
#include "Translations.h"
#include "UIInteractiveView.h"
#include "UILabel.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace morvex;
using namespace morvex::test;

namespace {

// Each source text of the translation file with its English forms.
QList<QStringList> messages()
{
    QFile file(QStringLiteral(MORVEX_TS_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> found;
    QXmlStreamReader xml(&file);
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message")
            numerus = xml.attributes().value(QStringLiteral("numerus")) == u"yes";
        else if (xml.name() == u"source")
            found.append({xml.readElementText()});
        else if (!found.isEmpty() && (xml.name() == u"numerusform" || (xml.name() == u"translation" && !numerus)))
            found.last() << xml.readElementText();
    }
    return found;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%[0-9]"));
    QStringList found;
    for (const auto& match : marker.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHome(m_home); }
    void cleanupTestCase() { installTranslations(UiLanguage::chinese); }

    void theLocaleDecidesTheLanguage()
    {
        for (const char* name : {"zh_CN.UTF-8", "zh_TW", "zh_HK.Big5HKSCS", "zh", "C", "C.UTF-8", "POSIX", ""})
            QVERIFY2(uiLanguageFor(QString::fromLatin1(name)) == UiLanguage::chinese, name);
        for (const char* name : {"en_US.UTF-8", "de_DE@euro", "ja_JP.UTF-8", "zu_ZA", "Chinese"})
            QVERIFY2(uiLanguageFor(QString::fromLatin1(name)) == UiLanguage::english, name);
        // LC_ALL before LC_MESSAGES before LANG.
        const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        for (const char* name : {"LANG", "LC_MESSAGES", "LC_ALL"}) {
            qputenv(name, name);
            QCOMPARE(messagesLocaleName(), QString::fromLatin1(name));
        }
        qputenv("LC_ALL", saved[0]);
        qputenv("LC_MESSAGES", saved[1]);
        qputenv("LANG", saved[2]);
    }

    void everyTextHasItsEnglishAndEveryCharacterItsGlyph()
    {
        const QList<QStringList> all = messages();
        QVERIFY(all.size() > 50);
        static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
        const QFont font = SystemFont::at(16);
        for (const QStringList& message : all) {
            QVERIFY2(message.size() > 1 && !message[1].trimmed().isEmpty(), qPrintable(message[0]));
            for (const QString& text : message) {
                if (text != message[0]) {
                    QVERIFY2(!text.contains(han), qPrintable(text));
                    QCOMPARE(placeholders(text), placeholders(message[0]));
                }
                for (qsizetype i = 0; i < text.size(); ++i) { // nothing is drawn as a box
                    const QString character = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
                    QVERIFY2(character[0].isSpace() || fontDraws(font, character), qPrintable(character + text));
                    i += character.size() - 1;
                }
            }
        }
    }

    void screensShowTheLanguageOfTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("shown"); // the convert and confirm buttons, the folder's placeholder
        QTest::addColumn<bool>("qtTranslated");
        const QStringList chinese{QString::fromUtf8(u8"转换"), QString::fromUtf8(u8"确定"),
                                  QString::fromUtf8(u8"代码输出路径：")};
        const QStringList english{QStringLiteral("Convert"), QStringLiteral("OK"), QStringLiteral("Output folder:")};
        QTest::newRow("zh_CN") << QStringLiteral("zh_CN.UTF-8") << chinese << true;
        QTest::newRow("C") << QStringLiteral("C") << chinese << true;
        QTest::newRow("de_DE") << QStringLiteral("de_DE.UTF-8") << english << false;
    }

    void screensShowTheLanguageOfTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, shown);
        QFETCH(bool, qtTranslated);
        const QStringList problems = installTranslations(uiLanguageFor(locale));
        if (qtTranslated && !problems.isEmpty())
            QSKIP(qPrintable(problems.join(u'\n'))); // Qt's translations are not installed here
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

        ScreenFixture fixture;
        RootViewController root(fixture.context());
        SettingViewController sheet(fixture.context());
        sheet.loadViewIfNeeded();
        QCOMPARE((QStringList{root.convetBtn()->title(), sheet.doBtn()->title(), sheet.outputFolder()}), shown);
        // Every caption fits its place beside the value, inside the field's padding of 5.
        for (UIInteractiveView* row :
             {sheet.authorInput(), sheet.copyrightInput(), sheet.prefixInput(), sheet.nameInput(), sheet.baseInput()}) {
            const UILabel& caption = row->hint();
            QVERIFY2(QFontMetricsF(caption.font()).horizontalAdvance(caption.stringValue()) <= caption.width() - 10,
                     qPrintable(caption.stringValue()));
        }
        // Qt's own texts, such as the editors' context menu, go with the program's.
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy") != QStringLiteral("&Copy"), qtTranslated);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
