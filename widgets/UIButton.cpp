#include "UIButton.h"

#include "NSTheme.h"
#include "SystemFont.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace morvex {

namespace {

constexpr qreal imageTitleGap = 4;
constexpr qreal focusRingWidth = 2;

} // namespace

UIButton::UIButton(QWidget* parent) : QPushButton(parent)
{
    setFlat(true);
    setAttribute(Qt::WA_Hover, false);
    // Tab reaches every button; a click leaves the focus where it was, in the field being typed in.
    setFocusPolicy(Qt::TabFocus);
}

UIButton::UIButton(const QString& title, QWidget* parent) : UIButton(parent)
{
    QAbstractButton::setText(title);
}

UIButton::~UIButton() = default;

UIButton* UIButton::standardButton(const QString& title, QObject* target, std::function<void()> action, QWidget* parent)
{
    auto* button = new UIButton(title, parent);
    if (action) {
        QObject* context = target ? target : button;
        connect(button, &QAbstractButton::clicked, context, [action = std::move(action)] { action(); });
    }
    button->background().setColor(NSTheme::accent());
    button->highlight().background().setColor(NSTheme::accentHover());
    button->text().setColor(Qt::white);
    button->text().setFontSize(18);
    button->border().setRadius(5);
    return button;
}

void UIButton::setTitle(const QString& title)
{
    QAbstractButton::setText(title);
    applyTitleColor(text().color());
}

Border& UIButton::border()
{
    if (!m_border) {
        m_border.emplace(this, true);
    }
    return *m_border;
}

Background& UIButton::background()
{
    if (!m_background) {
        m_background.emplace(this, true);
    }
    return *m_background;
}

Highlight& UIButton::highlight()
{
    if (!m_highlight) {
        // The first read of the highlight is what turns hover tracking on.
        trackingArea();
        m_isEnableTrackingArea = true;
        m_highlight.emplace(this);
    }
    return *m_highlight;
}

TrackingArea& UIButton::trackingArea()
{
    if (!m_trackingArea) {
        m_trackingArea.emplace(this);
    }
    return *m_trackingArea;
}

Text& UIButton::text()
{
    if (!m_text) {
        m_text.emplace(this, true, [this](const QColor& color) { applyTitleColor(color); });
    }
    return *m_text;
}

void UIButton::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void UIButton::setAlternateImage(const QIcon& image)
{
    m_alternateImage = image;
    update();
}

void UIButton::applyTitleColor(const QColor& color)
{
    m_titleColor = color;
    update();
}

bool UIButton::trackingActive() const
{
    // Hover looks only in the active window, like a tracking area that is active in the key window.
    return m_isEnableTrackingArea && isActiveWindow();
}

void UIButton::enterEvent(QEnterEvent* event)
{
    if (trackingActive()) {
        m_isHovered = true;
        trackingArea().mouseEntered();
    }
    event->accept();
}

void UIButton::leaveEvent(QEvent* event)
{
    if (m_isEnableTrackingArea && (m_isHovered || isActiveWindow())) {
        m_isHovered = false;
        trackingArea().mouseExited();
    }
    event->accept();
}

bool UIButton::event(QEvent* event)
{
    // A window that stops being active keeps no hover look.
    if (event->type() == QEvent::WindowDeactivate && m_isHovered) {
        m_isHovered = false;
        trackingArea().mouseExited();
    }
    return QPushButton::event(event);
}

void UIButton::applyHighlightText(Highlight& highlight)
{
    Text& hover = highlight.text();
    if (hover.fontSize() != Text::defaultFontSize) {
        setFont(SystemFont::at(hover.fontSize()));
    }
    // By value: a hover colour equal to black, in whatever colour model, counts as "not set".
    if (hover.color().rgba64() != Text::defaultColor().rgba64()) {
        applyTitleColor(hover.color());
    }
}

void UIButton::restoreNormalText()
{
    applyTitleColor(text().color());
    setFont(SystemFont::at(text().fontSize()));
}

QIcon UIButton::currentImage() const
{
    if (isCheckable() && isChecked() && !m_alternateImage.isNull()) {
        return m_alternateImage;
    }
    return icon();
}

QSize UIButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    const QIcon image = currentImage();
    qreal width = metrics.horizontalAdvance(title());
    qreal height = metrics.height();
    if (!image.isNull()) {
        width += iconSize().width() + (title().isEmpty() ? 0 : imageTitleGap);
        height = std::max<qreal>(height, iconSize().height());
    }
    return QSizeF(width + 16, height + 8).toSize();
}

QSize UIButton::minimumSizeHint() const
{
    return {0, 0};
}

void UIButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    m_layer.paintBackground(painter, bounds);

    const QIcon image = currentImage();
    const QString label = title();
    const QFontMetricsF metrics(font());
    const qreal titleWidth = label.isEmpty() ? 0 : metrics.horizontalAdvance(label);
    const qreal imageWidth = image.isNull() ? 0 : iconSize().width();
    const qreal gap = (imageWidth > 0 && titleWidth > 0) ? imageTitleGap : 0;
    const qreal contentWidth = imageWidth + gap + titleWidth;

    qreal x = 0;
    if (m_alignment & Qt::AlignRight) {
        x = bounds.width() - contentWidth;
    } else if (!(m_alignment & Qt::AlignLeft)) {
        x = (bounds.width() - contentWidth) / 2;
    }
    if (imageWidth > 0) {
        const QSize size = iconSize();
        const QRect target(QPointF(x, (bounds.height() - size.height()) / 2).toPoint(), size);
        image.paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (titleWidth > 0) {
        painter.setFont(font());
        painter.setPen(m_titleColor.value_or(palette().color(QPalette::ButtonText)));
        const QRectF titleRect(x + imageWidth + gap, 0, titleWidth + 1, bounds.height());
        painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
    }
    m_layer.paintBorder(painter, bounds);
    if (hasFocus()) {
        // The keyboard's place: a ring in the highlight colour, drawn over every look of the button.
        QPen ring(palette().color(QPalette::Highlight), focusRingWidth);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        const qreal inset = focusRingWidth / 2;
        painter.drawRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), 4, 4);
    }
}

} // namespace morvex
