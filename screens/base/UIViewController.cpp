#include "UIViewController.h"

#include "AppImages.h"
#include "UIView.h"

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace morvex {

namespace {

// Dims the window a sheet is attached to, and takes the clicks meant for it.
class SheetDimming : public QWidget
{
public:
    explicit SheetDimming(QWidget* window) : QWidget(window)
    {
        setGeometry(window->rect());
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0, 64));
    }
};

// The window a sheet attaches to: the main window, also for an alert raised by another sheet.
QWidget* anchorWindow(QWidget* window)
{
    while (window && qobject_cast<UIViewController*>(window) && window->parentWidget())
        window = window->parentWidget()->window();
    return window;
}

} // namespace

UIViewController::UIViewController(QWidget* parent) : QDialog(parent)
{
    // Quit works from every sheet too; the main window's menu is blocked while one is open.
    // Named, not QKeySequence::Quit: some keyboard schemes bind nothing to that.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

UIViewController::~UIViewController()
{
    delete m_dimming;
}

QWidget* UIViewController::view()
{
    if (!m_view) {
        m_view = loadView();
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(m_view);
        // The content view sets the size; the sheet is neither larger nor resizable.
        setFixedSize(m_view->size());
        layout->setSizeConstraint(QLayout::SetFixedSize);
        m_view->setFixedSize(m_view->size());
        viewDidLoad();
    }
    return m_view;
}

QWidget* UIViewController::loadView()
{
    auto* content = new UIView(this);
    content->resize(480, 270);
    return content;
}

void UIViewController::viewDidLoad() {}

void UIViewController::viewFirstDidAppear() {}

void UIViewController::viewDidDisappear() {}

UIView* UIViewController::baseView()
{
    if (!m_baseViewBuilt) {
        m_baseViewBuilt = true;
        m_baseView = qobject_cast<UIView*>(view());
    }
    return m_baseView;
}

void UIViewController::showLoading()
{
    if (UIView* content = baseView())
        content->showLoading();
}

void UIViewController::hideLoading()
{
    if (UIView* content = baseView())
        content->hideLoading();
}

QPushButton* UIViewController::backbtn()
{
    if (!m_backbtn) {
        QWidget* content = view();
        auto* button = new QPushButton(content);
        button->setIcon(AppImages::named(QStringLiteral("arrow")));
        button->setIconSize(QSize(22, 22));
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(tr("返回"));
        button->setAccessibleName(tr("返回"));
        button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"
                                             "QPushButton:focus { border: 2px solid palette(highlight); "
                                             "border-radius: 4px; }"));
        // 20 from the left, 22 below the top.
        button->setGeometry(20, 22, 34, 22);
        button->hide();
        connect(button, &QPushButton::clicked, this, &UIViewController::disappear);
        m_backbtn = button;
    }
    return m_backbtn;
}

void UIViewController::presentAsSheet(QWidget* presenter)
{
    QWidget* window = presenter ? presenter->window() : nullptr;
#ifdef Q_OS_MACOS
    setParent(window, Qt::Sheet);
#else
    // A sheet has no frame of its own: it hangs from the top centre of its window and moves with it.
    setParent(window, Qt::Dialog | Qt::FramelessWindowHint);
    m_anchor = anchorWindow(window);
    if (m_anchor) {
        m_anchor->installEventFilter(this);
        m_dimming = new SheetDimming(m_anchor);
        m_dimming->show();
    }
#endif
    m_presented = true;
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    loadViewIfNeeded();
    m_dismissed = false;
    placeOnAnchor();
    show();
    raise();
    activateWindow();
}

void UIViewController::placeOnAnchor()
{
    if (!m_anchor)
        return;
    // Below the menu bar, where the window's content starts.
    QWidget* content = m_anchor;
    if (auto* main = qobject_cast<QMainWindow*>(m_anchor); main && main->centralWidget())
        content = main->centralWidget();
    const QPoint top = content->mapToGlobal(QPoint(content->width() / 2, 0));
    move(top.x() - width() / 2, top.y());
}

bool UIViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_anchor && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeOnAnchor();
    return QDialog::eventFilter(watched, event);
}

void UIViewController::disappear()
{
    reject();
}

void UIViewController::done(int result)
{
    const bool wasVisible = isVisible();
    QDialog::done(result);
    if (!wasVisible || m_dismissed)
        return;
    m_dismissed = true;
    if (m_anchor)
        m_anchor->removeEventFilter(this);
    delete m_dimming;
    // The keys go back to the window below, as they would from a sheet a window manager stacked.
    if (QWidget* below = parentWidget() ? parentWidget()->window() : nullptr)
        below->activateWindow();
    viewDidDisappear();
    if (m_presented)
        deleteLater();
}

void UIViewController::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || !m_isFirstAppear)
        return;
    m_isFirstAppear = false;
    viewFirstDidAppear();
}

} // namespace morvex
