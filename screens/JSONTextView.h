#pragma once

#include <QPlainTextEdit>

namespace morvex {

/// The JSON input. A pasted text with long lines is shown broken into short display lines, so that a
/// one-line document of many megabytes is laid out a little at a time instead of as one huge line. The
/// display breaks are marked and never part of the text: `text()`, copies and drags give the text exactly
/// as it was pasted or typed, and offsets into `text()` are those of that text.
class JSONTextView : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit JSONTextView(QWidget* parent = nullptr);

    /// The text as pasted or typed, without display breaks; line breaks are line feeds.
    QString text() const;
    /// Replaces the whole text (not undoable), breaking long lines for display.
    void setText(const QString& text);
    /// The document position of `offset` in `text()`, to select a place reported in the text.
    int documentPosition(qsizetype offset) const;

    /// `text` with display breaks after every `lineLength` characters or so when it has a line of more than
    /// eight times that: after a comma or an opening bracket outside strings where there is one, anywhere
    /// between two characters otherwise. A text that holds the break mark itself is returned as it is.
    static QString withDisplayBreaks(const QString& text, qsizetype lineLength = 120);
    /// The inverse: `text` (paragraph separators as the document gives them) with the display breaks removed
    /// and paragraph separators turned into line feeds.
    static QString withoutDisplayBreaks(QString text);

protected:
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
};

} // namespace morvex
