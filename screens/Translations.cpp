#include "Translations.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QLibraryInfo>
#include <QPointer>
#include <QTextLayout>
#include <QTranslator>
#include <algorithm>

namespace morvex {

namespace {

QPointer<QTranslator>& installed(int which)
{
    static QPointer<QTranslator> translators[2];
    return translators[which];
}

// Loads `name` from `folder` into a fresh translator that replaces slot `which`; false when it cannot.
bool install(int which, const QString& name, const QString& folder)
{
    if (QTranslator* previous = installed(which)) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed(which) = translator;
    return true;
}

void remove(int which)
{
    if (QTranslator* previous = installed(which)) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
}

} // namespace

bool fontDraws(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    return std::ranges::none_of(layout.glyphRuns(),
                                [](const QGlyphRun& run) { return run.glyphIndexes().contains(0); });
}

UiLanguage uiLanguageFor(const QString& localeName)
{
    // "zh_CN.UTF-8@pinyin" → "zh_CN"; "C.UTF-8" is the C locale too.
    QString name = localeName.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
    if (name.isEmpty() || name == u"C" || name == u"POSIX" || name == u"zh" || name.startsWith(u"zh_"))
        return UiLanguage::chinese;
    return UiLanguage::english;
}

QString messagesLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

QStringList installTranslations(UiLanguage language)
{
    QStringList problems;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == UiLanguage::chinese) {
        remove(0);
        // Qt's dialogs and menus in the program's Chinese.
        if (!install(1, QStringLiteral("qt_zh_CN"), qtFolder))
            problems << QStringLiteral("Qt's Chinese translation (qt_zh_CN.qm) was not found in %1").arg(qtFolder);
    } else {
        remove(1); // Qt's own texts are English
        if (!install(0, QStringLiteral("morvex_en"), QStringLiteral(":/i18n")))
            problems << QStringLiteral("the English translation of Morvex (:/i18n/morvex_en.qm) could not be loaded");
    }
    return problems;
}

} // namespace morvex
