// The texts on screen in both languages: the locale picks the language, every text has its English, the
// screens and Qt's own menus follow, and the font the labels use draws every character of both.

#include "RootViewController.h"
#include "ScreenTestSupport.h"
#include "SettingViewController.h"
#include "SystemFont.h"
#include "Translations.h"
#include "UIInteractiveView.h"
#include "UILabel.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace morvex;
using namespace morvex::test;

Q_DECLARE_METATYPE(morvex::UiLanguage)

namespace {

struct Message
{
    QString source;
    QStringList translations;
};

QList<Message> messages()
{
    QFile file(QStringLiteral(MORVEX_TS_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> found;
    QXmlStreamReader xml(&file);
    bool numerus = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message") {
            numerus = xml.attributes().value(QStringLiteral("numerus")) == u"yes";
        } else if (xml.name() == u"source") {
            found.append({xml.readElementText(), {}});
        } else if (!found.isEmpty() && (xml.name() == u"numerusform" || (xml.name() == u"translation" && !numerus))) {
            const QString text = xml.readElementText();
            if (!text.trimmed().isEmpty())
                found.last().translations << text;
        }
    }
    return found;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%[0-9n]"));
    QStringList found;
    for (const auto& match : marker.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// The characters of `text` that would be drawn as boxes.
QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!character[0].isSpace() && !fontDraws(font, character))
            missing += character;
        i += length - 1;
    }
    return missing;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { isolateHome(m_home); }
    void cleanupTestCase() { installTranslations(UiLanguage::chinese); }

    void localeDecidesTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<UiLanguage>("language");
        const auto chinese = UiLanguage::chinese;
        const auto english = UiLanguage::english;
        for (const char* name : {"zh_CN.UTF-8", "zh_TW", "zh_HK.Big5HKSCS", "zh", "C", "C.UTF-8", "POSIX", ""})
            QTest::newRow(name) << QString::fromLatin1(name) << chinese;
        for (const char* name : {"en_US.UTF-8", "de_DE@euro", "ja_JP.UTF-8", "fr", "zu_ZA", "Chinese"})
            QTest::newRow(name) << QString::fromLatin1(name) << english;
    }

    void localeDecidesTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(UiLanguage, language);
        QCOMPARE(uiLanguageFor(locale), language);
    }

    void messagesFollowTheUsualOrderOfVariables()
    {
        const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qunsetenv("LANG");
        QCOMPARE(messagesLocaleName(), QStringLiteral("C"));
        qputenv("LANG", "de_DE.UTF-8");
        QCOMPARE(messagesLocaleName(), QStringLiteral("de_DE.UTF-8"));
        qputenv("LC_MESSAGES", "zh_CN.UTF-8");
        QCOMPARE(messagesLocaleName(), QStringLiteral("zh_CN.UTF-8"));
        qputenv("LC_ALL", "POSIX");
        QCOMPARE(messagesLocaleName(), QStringLiteral("POSIX"));
        qputenv("LC_ALL", saved[0]);
        qputenv("LC_MESSAGES", saved[1]);
        qputenv("LANG", saved[2]);
    }

    void everyTextHasItsEnglish()
    {
        const QList<Message> all = messages();
        QVERIFY(all.size() > 50);
        static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
        for (const Message& message : all) {
            QVERIFY2(!message.translations.isEmpty(), qPrintable(message.source));
            for (const QString& english : message.translations) {
                QVERIFY2(!english.contains(han), qPrintable(english));
                // %n may be left out of a singular form.
                QStringList wanted = placeholders(message.source);
                QStringList given = placeholders(english);
                if (message.translations.size() > 1) {
                    wanted.removeAll(QStringLiteral("%n"));
                    given.removeAll(QStringLiteral("%n"));
                }
                QCOMPARE(given, wanted);
            }
        }
    }

    void theLabelFontDrawsEveryText()
    {
        const QFont font = SystemFont::at(16);
        for (const Message& message : messages()) {
            const QStringList texts = QStringList(message.translations) << message.source;
            for (const QString& text : texts) {
                const QString missing = missingGlyphs(text, font);
                QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 has no glyph for \"%2\" in \"%3\"")
                                                           .arg(QFontInfo(font).family(), missing, text)));
            }
        }
    }

    void screensShowTheLanguageOfTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("convert");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<bool>("qtTranslated");

        QTest::newRow("zh_CN") << QStringLiteral("zh_CN.UTF-8") << QString::fromUtf8(u8"转换")
                               << QString::fromUtf8(u8"确定") << QString::fromUtf8(u8"代码输出路径：") << true;
        QTest::newRow("C") << QStringLiteral("C") << QString::fromUtf8(u8"转换") << QString::fromUtf8(u8"确定")
                           << QString::fromUtf8(u8"代码输出路径：") << true;
        QTest::newRow("en_GB") << QStringLiteral("en_GB.UTF-8") << QStringLiteral("Convert") << QStringLiteral("OK")
                               << QStringLiteral("Output folder:") << false;
        QTest::newRow("de_DE") << QStringLiteral("de_DE.UTF-8") << QStringLiteral("Convert") << QStringLiteral("OK")
                               << QStringLiteral("Output folder:") << false;
    }

    void screensShowTheLanguageOfTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, convert);
        QFETCH(QString, confirm);
        QFETCH(QString, placeholder);
        QFETCH(bool, qtTranslated);

        const QStringList problems = installTranslations(uiLanguageFor(locale));
        if (qtTranslated && !problems.isEmpty())
            QSKIP(qPrintable(problems.join(u'\n'))); // Qt's translations are not installed here
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

        ScreenFixture fixture;
        RootViewController root(fixture.context());
        QCOMPARE(root.convetBtn()->title(), convert);
        SettingViewController sheet(fixture.context());
        sheet.loadViewIfNeeded();
        QCOMPARE(sheet.doBtn()->title(), confirm);
        QCOMPARE(sheet.outputFolder(), placeholder);
        // Every caption fits its place beside the value, inside the field's padding of 5.
        for (UIInteractiveView* row :
             {sheet.authorInput(), sheet.copyrightInput(), sheet.prefixInput(), sheet.nameInput(), sheet.baseInput()}) {
            const UILabel& caption = row->hint();
            QVERIFY2(QFontMetricsF(caption.font()).horizontalAdvance(caption.stringValue()) <= caption.width() - 10,
                     qPrintable(caption.stringValue()));
        }
        // Qt's own texts, such as the editors' context menu, go with the program's.
        const QString copy = QCoreApplication::translate("QWidgetTextControl", "&Copy");
        QCOMPARE(copy != QStringLiteral("&Copy"), qtTranslated);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
