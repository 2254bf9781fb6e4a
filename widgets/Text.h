#pragma once

#include <QColor>

#include <functional>

class QWidget;

namespace morvex {

/// Text look of a control: font size and colour.
/// Live: a new font size sets the owner's font to the system font of that size; a new colour is handed to
/// `colorDidSetBlock`, through which the owner shows it.
class Text
{
public:
    using ColorDidSetBlock = std::function<void(const QColor&)>;

    static constexpr qreal defaultFontSize = 12;
    static QColor defaultColor() { return QColor(Qt::black); }

    Text(QWidget* base, bool isSet, ColorDidSetBlock colorDidSetBlock = {});

    QWidget* base() const { return m_base; }
    bool isSet() const { return m_isSet; }

    const ColorDidSetBlock& colorDidSetBlock() const { return m_colorDidSetBlock; }
    void setColorDidSetBlock(ColorDidSetBlock block) { m_colorDidSetBlock = std::move(block); }

    qreal fontSize() const { return m_fontSize; }
    void setFontSize(qreal size);

    const QColor& color() const { return m_color; }
    void setColor(const QColor& color);

private:
    QWidget* m_base;
    bool m_isSet;
    ColorDidSetBlock m_colorDidSetBlock;
    qreal m_fontSize = defaultFontSize;
    QColor m_color = defaultColor();
};

} // namespace morvex
