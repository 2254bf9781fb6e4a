#include "UITextField.h"

#include "BaseSecureTextFieldCell.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace morvex {

namespace {

// QLineEdit keeps this much room of its own left and right of the text.
constexpr qreal lineEditMargin = 2;

} // namespace

UITextField::UITextField(QWidget* parent)
    : QLineEdit(parent), m_textColor(palette().color(QPalette::Text)),
      m_backgroundColor(palette().color(QPalette::Base))
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAutoFillBackground(false);
    setupCell();
}

UITextField::~UITextField() = default;

void UITextField::setupCell()
{
    const QString value = stringValue();
    const QFont currentFont = font();
    const QColor color = m_textColor;

    if (m_isSecure) {
        m_cell = std::make_unique<BaseSecureTextFieldCell>();
    } else {
        m_cell = std::make_unique<BaseTextFieldCell>();
    }
    setEchoMode(m_isSecure ? QLineEdit::Password : QLineEdit::Normal);
    // A new cell knows nothing of the old one's placeholder or alignment.
    setPlaceholderText({});
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    setStringValue(value);
    setFont(currentFont);
    setTextColor(color);

    setFrame(false);
    setEditable(true);
    setUsesSingleLineMode(true);
    updateEditorMargins();
    update();
}

Border& UITextField::border()
{
    if (!m_border) {
        m_border.emplace(this, true);
    }
    return *m_border;
}

Background& UITextField::background()
{
    if (!m_background) {
        m_background.emplace(this, true);
    }
    return *m_background;
}

Text& UITextField::text()
{
    if (!m_text) {
        m_text.emplace(this, true, [this](const QColor& color) { setTextColor(color); });
    }
    return *m_text;
}

void UITextField::setUsesSingleLineMode(bool singleLine)
{
    setLineBreakMode(singleLine ? LineBreakMode::TruncatingHead : LineBreakMode::CharWrapping);
    m_usesSingleLineMode = singleLine;
    updateEditorMargins();
    update();
}

void UITextField::setLineBreakMode(LineBreakMode mode)
{
    m_lineBreakMode = mode;
    update();
}

void UITextField::setTextColor(const QColor& color)
{
    m_textColor = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Text, color);
    setPalette(colors);
    update();
}

void UITextField::setPadding(qreal padding)
{
    m_cell->setPadding(padding);
    updateEditorMargins();
    update();
}

QRectF UITextField::titleRect() const
{
    return m_cell->titleRect(QRectF(rect()), font(), m_usesSingleLineMode);
}

bool UITextField::isEditing() const
{
    // Qt's editor cannot wrap, so a multi-line field is only handed over when the user can type in it.
    return hasFocus() && (m_usesSingleLineMode || isEditable());
}

void UITextField::updateEditorMargins()
{
    if (!m_cell) {
        return;
    }
    const QRectF inner = titleRect();
    const auto left = static_cast<int>(std::max<qreal>(0, std::round(inner.left() - lineEditMargin)));
    const auto right =
        static_cast<int>(std::max<qreal>(0, std::round(static_cast<qreal>(width()) - inner.right() - lineEditMargin)));
    if (textMargins().left() != left || textMargins().right() != right) {
        setTextMargins(left, 0, right, 0);
    }
}

void UITextField::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    updateEditorMargins();
}

void UITextField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateEditorMargins();
    }
}

void UITextField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    update();
}

void UITextField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    update();
}

void UITextField::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        m_layer.paintBackground(painter, QRectF(rect()));
        if (!isEditing()) {
            paintText(painter);
        }
    }
    if (isEditing()) {
        QLineEdit::paintEvent(event);
    }
    QPainter painter(this);
    m_layer.paintBorder(painter, QRectF(rect()));
}

void UITextField::paintText(QPainter& painter)
{
    QString shown = displayText();
    QColor color = m_textColor;
    if (shown.isEmpty()) {
        shown = placeholderText();
        color = palette().color(QPalette::PlaceholderText);
    }
    if (shown.isEmpty()) {
        return;
    }
    const QRectF area = titleRect();
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    painter.save();
    painter.setFont(font());
    painter.setPen(color);
    if (m_usesSingleLineMode) {
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
        Qt::TextElideMode elide = Qt::ElideNone;
        switch (m_lineBreakMode) {
        case LineBreakMode::TruncatingHead:
            elide = Qt::ElideLeft;
            break;
        case LineBreakMode::TruncatingTail:
            elide = Qt::ElideRight;
            break;
        case LineBreakMode::TruncatingMiddle:
            elide = Qt::ElideMiddle;
            break;
        default:
            break;
        }
        if (elide != Qt::ElideNone) {
            shown = QFontMetricsF(font()).elidedText(shown, elide, area.width());
        }
        painter.setClipRect(rect());
        painter.drawText(area, static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    } else {
        int flags = static_cast<int>(horizontal | Qt::AlignTop);
        if (m_lineBreakMode == LineBreakMode::WordWrapping) {
            flags |= Qt::TextWordWrap;
            // A path may break after each separator, never inside a name.
            shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
        } else if (m_lineBreakMode == LineBreakMode::CharWrapping) {
            flags |= Qt::TextWrapAnywhere;
        }
        painter.setClipRect(rect());
        painter.drawText(area, flags, shown);
    }
    painter.restore();
}

} // namespace morvex
