#pragma once

#include "Background.h"
#include "Border.h"
#include "Highlight.h"
#include "HoverHost.h"
#include "Layer.h"
#include "Text.h"
#include "TrackingArea.h"

#include <QIcon>
#include <QPushButton>

#include <functional>
#include <optional>

namespace morvex {

/// The kit's flat push button: it paints its own layer (background, border, corner radius) and its title
/// in a colour of its own. Reading `highlight()` once turns on the hover look.
class UIButton : public QPushButton, public HoverHost
{
    Q_OBJECT

public:
    explicit UIButton(QWidget* parent = nullptr);
    explicit UIButton(const QString& title, QWidget* parent = nullptr);
    ~UIButton() override;

    /// The application's standard button: accent background, hover accent, white 18-point title, radius 5.
    /// `action` runs on click while `target` lives (for as long as the button lives when `target` is null).
    static UIButton* standardButton(const QString& title, QObject* target, std::function<void()> action,
                                    QWidget* parent = nullptr);

    template <typename T>
    static UIButton* standardButton(const QString& title, T* target, void (T::*action)(), QWidget* parent = nullptr)
    {
        return standardButton(
            title, target, [target, action] { (target->*action)(); }, parent);
    }

    QString title() const { return QAbstractButton::text(); }
    /// Stores the title and shows it in the normal text colour, also while the pointer is over the button.
    void setTitle(const QString& title);

    Border& border() override;
    Background& background() override;
    Highlight& highlight() override;
    TrackingArea& trackingArea();
    Text& text();

    bool isEnableTrackingArea() const { return m_isEnableTrackingArea; }
    /// Whether the hover look is on.
    bool isHovered() const { return m_isHovered; }

    /// The colour the title is painted in; none before the title was first rendered.
    const std::optional<QColor>& titleColor() const { return m_titleColor; }

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    /// Shown instead of the icon while a checkable button is checked.
    const QIcon& alternateImage() const { return m_alternateImage; }
    void setAlternateImage(const QIcon& image);

    Layer& backingLayer() override { return m_layer; }
    void backingLayerChanged() override { update(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

    void applyHighlightText(Highlight& highlight) override;
    void restoreNormalText() override;

private:
    void applyTitleColor(const QColor& color);
    bool trackingActive() const;
    QIcon currentImage() const;

    std::optional<Border> m_border;
    std::optional<Background> m_background;
    std::optional<Highlight> m_highlight;
    std::optional<TrackingArea> m_trackingArea;
    bool m_isEnableTrackingArea = false;
    std::optional<Text> m_text;

    Layer m_layer;
    bool m_isHovered = false;
    std::optional<QColor> m_titleColor;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    QIcon m_alternateImage;
};

} // namespace morvex
