#pragma once

#include "Background.h"
#include "BaseTextFieldCell.h"
#include "Border.h"
#include "Layer.h"
#include "LayerHost.h"
#include "Text.h"

#include <QLineEdit>

#include <memory>
#include <optional>

namespace morvex {

/// The kit's flat single-line input field. It paints its own layer and, while it is not being edited, its
/// text in the rectangle its cell gives (5 in from the sides, centred on one line). While it has the focus
/// the line editor of Qt takes over inside the same insets.
///
/// `setupCell()` replaces the cell; only the text, font and text colour survive it (the placeholder,
/// alignment and padding start afresh). That is how a field becomes secure: set `isSecure`, then call it.
class UITextField : public QLineEdit, public LayerHost
{
    Q_OBJECT
    // The field's own background colour; the layer's is what shows.
    // Animated and styled, never bound, so no change signal: clazy:excludeall=qproperty-without-notify
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)

public:
    /// How text that does not fit is cut (the numbering of the platform's line-break modes).
    enum class LineBreakMode
    {
        WordWrapping = 0,
        CharWrapping = 1,
        Clipping = 2,
        TruncatingHead = 3,
        TruncatingTail = 4,
        TruncatingMiddle = 5,
    };
    Q_ENUM(LineBreakMode)

    explicit UITextField(QWidget* parent = nullptr);
    ~UITextField() override;

    virtual void setupCell();

    Border& border();
    Background& background();
    Text& text();

    bool isSecure() const { return m_isSecure; }
    /// Takes effect at the next `setupCell()`.
    void setSecure(bool secure) { m_isSecure = secure; }

    bool usesSingleLineMode() const { return m_usesSingleLineMode; }
    /// True truncates at the head (the end of a long text stays visible); false wraps at characters.
    void setUsesSingleLineMode(bool singleLine);

    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode mode);

    QString stringValue() const { return QLineEdit::text(); }
    void setStringValue(const QString& value) { QLineEdit::setText(value); }

    const QColor& textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);

    bool isEditable() const { return !isReadOnly(); }
    /// A field that cannot be edited is no Tab stop: the keyboard goes only where it can act.
    void setEditable(bool editable)
    {
        setReadOnly(!editable);
        setFocusPolicy(editable ? Qt::StrongFocus : Qt::ClickFocus);
    }

    const QColor& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color) { m_backgroundColor = color; }

    BaseTextFieldCell& cell() const { return *m_cell; }
    /// The cell's padding; back to 5 after every `setupCell()`.
    void setPadding(qreal padding);

    /// Where the text is drawn in the current frame.
    QRectF titleRect() const;

    /// Whether Qt's line editor paints the text now (the field has the focus and can show it).
    bool isEditing() const;

    Layer& backingLayer() override { return m_layer; }
    void backingLayerChanged() override { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateEditorMargins();
    void paintText(QPainter& painter);

    std::optional<Border> m_border;
    std::optional<Background> m_background;
    std::optional<Text> m_text;
    bool m_isSecure = false;

    std::unique_ptr<BaseTextFieldCell> m_cell;
    Layer m_layer;
    bool m_usesSingleLineMode = true;
    LineBreakMode m_lineBreakMode = LineBreakMode::TruncatingHead;
    QColor m_textColor;
    QColor m_backgroundColor;
};

} // namespace morvex
