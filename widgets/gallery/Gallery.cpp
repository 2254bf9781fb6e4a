#include "Gallery.h"

#include "Gray.h"
#include "MaterialProgress.h"
#include "NSColor.h"
#include "NSTheme.h"
#include "ProgressView.h"
#include "ShapeLayer.h"
#include "UIButton.h"
#include "UIInteractiveView.h"
#include "UILabel.h"
#include "UIUnderlineLabel.h"

#include <QAbstractAnimation>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace morvex {

namespace {

QIcon checkImage(bool on)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(NSTheme::accent(), 3));
    painter.setBrush(on ? QBrush(NSTheme::accent()) : QBrush(Qt::NoBrush));
    painter.drawRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
    if (on) {
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({QPointF(9, 16), QPointF(14, 21), QPointF(23, 11)}));
    }
    return QIcon(pixmap);
}

UIButton* optionButton(const QString& title, bool on)
{
    auto* button = new UIButton(title);
    button->setIcon(checkImage(false));
    button->setAlternateImage(checkImage(true));
    button->setCheckable(true);
    button->setChecked(on);
    button->text().setFontSize(16);
    button->setTitle(title);
    return button;
}

} // namespace

Gallery::Gallery(QWidget* parent) : UIView(parent), m_grid(new QGridLayout(this))
{
    setWindowTitle(QStringLiteral("Morvex widget gallery"));
    background().setColor(NSColor(246, 246, 246));
    m_grid->setContentsMargins(16, 16, 16, 16);
    m_grid->setHorizontalSpacing(16);
    m_grid->setVerticalSpacing(10);

    // Buttons.
    auto* plain = new UIButton(QStringLiteral("Plain"));
    cell(QStringLiteral("UIButton, untouched"), plain, 0, 0, {150, 40});

    auto* bordered = new UIButton;
    bordered->border().setWidth(2);
    bordered->border().setColor(NSTheme::accent());
    bordered->border().setRadius(8);
    bordered->setTitle(QStringLiteral("Bordered"));
    cell(QStringLiteral("border 2, radius 8"), bordered, 0, 1, {150, 40});

    cell(QStringLiteral("standardButton"), UIButton::standardButton(QStringLiteral("确定"), nullptr, {}), 0, 2,
         {150, 48});

    auto* hovered = UIButton::standardButton(QStringLiteral("确定"), nullptr, {});
    cell(QStringLiteral("standardButton, hovered"), hovered, 0, 3, {150, 48});
    m_hovered.append(hovered);

    auto* convert = new UIButton(QStringLiteral("Convert"));
    convert->text().setFontSize(16);
    convert->text().setColor(Qt::white);
    convert->border().setRadius(4);
    convert->background().setColor(NSTheme::accent());
    convert->highlight().background().setColor(NSTheme::accentHover());
    cell(QStringLiteral("convert button"), convert, 0, 4, {150, 40});

    cell(QStringLiteral("option, on"), optionButton(QStringLiteral("Swift"), true), 1, 0, {150, 34});
    cell(QStringLiteral("option, off"), optionButton(QStringLiteral("Objective-C"), false), 1, 1, {150, 34});
    auto* hoverBorder = new UIButton(QStringLiteral("Hover border"));
    hoverBorder->border().setWidth(1);
    hoverBorder->border().setColor(gray(160, 1.0));
    hoverBorder->highlight().border().setColor(NSTheme::accent());
    hoverBorder->highlight().border().setWidth(3);
    hoverBorder->highlight().border().setRadius(10);
    hoverBorder->highlight().text().setColor(NSTheme::accent());
    hoverBorder->setTitle(QStringLiteral("Hover border"));
    cell(QStringLiteral("hover border, hovered"), hoverBorder, 1, 2, {150, 40});
    m_hovered.append(hoverBorder);

    // Text fields and labels.
    auto* field = new UITextField;
    field->border().setWidth(1);
    field->border().setColor(gray(180, 1.0));
    field->background().setColor(QColor(Qt::white));
    field->text().setFontSize(16);
    field->setStringValue(QStringLiteral("Editable text"));
    cell(QStringLiteral("UITextField"), field, 2, 0, {200, 34});

    auto* editing = new UITextField;
    editing->border().setWidth(1);
    editing->border().setColor(NSTheme::accent());
    editing->background().setColor(QColor(Qt::white));
    editing->text().setFontSize(16);
    editing->setStringValue(QStringLiteral("Being edited"));
    cell(QStringLiteral("UITextField, editing"), editing, 2, 1, {200, 34});
    m_editing = editing;

    auto* secure = new UITextField;
    secure->setStringValue(QStringLiteral("password"));
    secure->setSecure(true);
    secure->setupCell();
    secure->border().setWidth(1);
    secure->border().setColor(gray(180, 1.0));
    secure->background().setColor(QColor(Qt::white));
    secure->text().setFontSize(16);
    cell(QStringLiteral("secure"), secure, 2, 2, {200, 34});

    auto* placeholder = new UITextField;
    placeholder->border().setWidth(1);
    placeholder->border().setColor(gray(180, 1.0));
    placeholder->text().setFontSize(16);
    placeholder->setPlaceholderText(QStringLiteral("占位文字"));
    cell(QStringLiteral("placeholder"), placeholder, 2, 3, {200, 34});

    auto* path = new UILabel;
    path->text().setColor(NSTheme::accent());
    path->text().setFontSize(16);
    path->setStringValue(QStringLiteral("/home/user/Projects/Morvex/Generated/Models/Output"));
    cell(QStringLiteral("UILabel, truncating head"), path, 3, 0, {200, 28});

    auto* wrapping = new UILabel;
    wrapping->text().setColor(gray(88, 1.0));
    wrapping->text().setFontSize(16);
    wrapping->setUsesSingleLineMode(false);
    wrapping->setStringValue(QStringLiteral("A detail text that is too long for one line wraps at characters."));
    wrapping->background().setColor(NSTheme::accent());
    cell(QStringLiteral("UILabel, wrapping"), wrapping, 3, 1, {200, 60});

    auto* title = new UIUnderlineLabel;
    title->setStringValue(QStringLiteral("输出配置"));
    cell(QStringLiteral("UIUnderlineLabel"), title, 3, 2, {200, 34});

    // Views.
    auto* row = UIInteractiveView::standardRow(QStringLiteral("代码署名:"), 100, false);
    row->label().setStringValue(QStringLiteral("Morvex"));
    cell(QStringLiteral("standardRow"), row, 4, 0, {380, 34});

    auto* editableRow = UIInteractiveView::standardRow(QStringLiteral("模型名称:"), 100, true);
    editableRow->label().setStringValue(QStringLiteral("RootModel"));
    cell(QStringLiteral("standardRow, editable"), editableRow, 4, 2, {380, 34});

    auto* panel = new UIView;
    panel->background().setColor(NSColor(236, 236, 236));
    panel->border().setRadius(6);
    panel->highlight().background().setColor(NSTheme::accentHover());
    panel->highlight().border().setColor(NSTheme::accent());
    panel->highlight().border().setWidth(2);
    cell(QStringLiteral("UIView, hovered"), panel, 5, 0, {150, 80});
    m_hovered.append(panel);

    auto* loading = new UIView;
    loading->setFixedSize(300, 200);
    loading->background().setColor(QColor(Qt::white));
    loading->border().setWidth(1);
    loading->border().setColor(gray(200, 1.0));
    cell(QStringLiteral("UIView, loading (300 × 200)"), loading, 5, 1, {300, 200});
    loading->showLoading();

    auto* ring = new MaterialProgress(QRect(0, 0, 100, 100));
    ring->setAnimate(true);
    cell(QStringLiteral("MaterialProgress, animate"), ring, 5, 3, {100, 100});

    m_grid->setRowStretch(6, 1);
    m_grid->setColumnStretch(5, 1);
}

Gallery::~Gallery() = default;

QWidget* Gallery::cell(const QString& caption, QWidget* content, int row, int column, QSize size)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* label = new QLabel(caption);
    label->setStyleSheet(QStringLiteral("color: #555; font-size: 11px;"));
    layout->addWidget(label);
    content->setFixedSize(size);
    layout->addWidget(content);
    layout->addStretch(1);
    const int span = size.width() > 250 ? 2 : 1;
    m_grid->addWidget(box, row, column, 1, span, Qt::AlignLeft | Qt::AlignTop);
    return box;
}

void Gallery::applyInteractiveStates()
{
    for (QWidget* widget : std::as_const(m_hovered)) {
        if (auto* host = dynamic_cast<UIButton*>(widget)) {
            host->trackingArea().mouseEntered();
        } else if (auto* view = dynamic_cast<UIView*>(widget)) {
            view->trackingArea().mouseEntered();
        }
    }
    if (m_editing) {
        m_editing->setFocus(Qt::OtherFocusReason);
    }
}

void Gallery::freezeAnimations(int ms)
{
    const auto rings = findChildren<MaterialProgress*>();
    for (MaterialProgress* ring : rings) {
        for (ShapeLayer* layer : {&ring->backgroundRotationLayer(), &ring->progressLayer()}) {
            const QStringList keys = layer->animationKeys();
            for (const QString& key : keys) {
                if (QAbstractAnimation* clock = layer->clock(key)) {
                    clock->pause();
                    clock->setCurrentTime(ms);
                }
            }
        }
        ring->update();
    }
}

} // namespace morvex
