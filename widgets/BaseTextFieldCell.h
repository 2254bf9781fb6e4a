#pragma once

#include <QFont>
#include <QRectF>

namespace morvex {

/// The cell of a UITextField: where its text goes inside the field's frame. Single-line text is inset by
/// `padding` on the left and right and centred vertically on one line of text.
class BaseTextFieldCell
{
public:
    static constexpr qreal defaultPadding = 5;

    BaseTextFieldCell() = default;
    virtual ~BaseTextFieldCell();

    qreal padding() const { return m_padding; }
    void setPadding(qreal padding) { m_padding = padding; }

    /// Whether the cell hides what is typed.
    virtual bool isSecure() const { return false; }

    /// The rectangle the text is drawn, edited and selected in, for `frame` set in `font`.
    /// Outside single-line mode it is the frame itself. A frame whose x already equals the padding was
    /// inset once and gets no second horizontal inset; a frame lower than a line grows to one.
    QRectF titleRect(const QRectF& frame, const QFont& font, bool singleLine) const;

    /// The height of one line in `font`, measured on the sample "中国".
    static qreal lineHeight(const QFont& font);

private:
    qreal m_padding = defaultPadding;
};

} // namespace morvex
