#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace morvex {

/// The language of the texts on screen. The Chinese texts are the source texts; English comes from the
/// translation built with the program.
enum class UiLanguage
{
    chinese,
    english
};

/// The language for a locale name as the environment gives it ("zh_CN.UTF-8", "C", "de_DE@euro"):
/// zh_*, C and POSIX get Chinese, every other locale English.
UiLanguage uiLanguageFor(const QString& localeName);

/// The locale that decides the messages' language: LC_ALL, else LC_MESSAGES, else LANG; "C" when none is set.
QString messagesLocaleName();

/// Installs the program's and Qt's own translations for `language` into the application, replacing those
/// installed before. Answers what could not be loaded, one line each; the texts then stay as they are.
QStringList installTranslations(UiLanguage language);

/// Whether `font`, or a fallback Qt finds for it, draws every character of `text`; a missing glyph is drawn
/// as a box.
bool fontDraws(const QFont& font, const QString& text);

} // namespace morvex
