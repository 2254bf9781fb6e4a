#include "JSONTextView.h"

#include <QMimeData>
#include <QTextBlock>

namespace morvex {

namespace {

// INVISIBLE SEPARATOR before a paragraph separator marks a break made for display only. JSON never needs
// it, and it draws nothing.
constexpr QChar breakMark(0x2063);
constexpr QChar separator = QChar::ParagraphSeparator;

// A line this many times the line length is broken even inside a string.
constexpr qsizetype longestLine = 8;

// Lines up to this length are laid out quickly enough as they are, and read better unbroken.
bool hasLineLongerThan(const QString& text, qsizetype length)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = (c == u'\n' || c == u'\r' || c == separator) ? 0 : run + 1;
        if (run > length)
            return true;
    }
    return false;
}

} // namespace

JSONTextView::JSONTextView(QWidget* parent) : QPlainTextEdit(parent) {}

QString JSONTextView::withDisplayBreaks(const QString& text, qsizetype lineLength)
{
    if (text.contains(breakMark) || !hasLineLongerThan(text, lineLength * longestLine))
        return text;
    QString shown;
    shown.reserve(text.size() + text.size() / lineLength * 2 + 2);
    bool inString = false;
    bool escaped = false;
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        shown += c;
        if (c == u'\n' || c == u'\r' || c == separator) {
            run = 0;
            continue;
        }
        ++run;
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == u'\\')
                escaped = true;
            else if (c == u'"')
                inString = false;
        } else if (c == u'"') {
            inString = true;
        }
        if (run < lineLength || i + 1 == text.size())
            continue;
        const bool structural = !inString && (c == u',' || c == u'{' || c == u'[');
        const bool tooLong = run >= lineLength * longestLine && !c.isHighSurrogate();
        const QChar next = text[i + 1];
        if ((structural || tooLong) && next != u'\n' && next != u'\r' && next != separator) {
            shown += breakMark;
            shown += separator;
            run = 0;
        }
    }
    return shown;
}

QString JSONTextView::withoutDisplayBreaks(QString text)
{
    text.remove(QString(breakMark) + separator);
    text.replace(separator, QLatin1Char('\n'));
    return text;
}

QString JSONTextView::text() const
{
    return withoutDisplayBreaks(document()->toRawText());
}

void JSONTextView::setText(const QString& text)
{
    setPlainText(withDisplayBreaks(text));
}

int JSONTextView::documentPosition(qsizetype offset) const
{
    // Each display break adds two characters before the places that follow it.
    qsizetype rawSeen = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        const bool soft = line.endsWith(breakMark);
        const qsizetype length = line.size() - (soft ? 1 : 0);
        if (offset <= rawSeen + length)
            return static_cast<int>(block.position() + (offset - rawSeen));
        rawSeen += length + (soft ? 0 : 1);
    }
    return document()->characterCount() - 1;
}

void JSONTextView::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText() || isReadOnly())
        return;
    textCursor().insertText(withDisplayBreaks(source->text()));
    ensureCursorVisible();
}

QMimeData* JSONTextView::createMimeDataFromSelection() const
{
    auto* copy = new QMimeData;
    copy->setText(withoutDisplayBreaks(textCursor().selectedText()));
    return copy;
}

} // namespace morvex
