#include "UIViewController.h"

#include "AppImages.h"
#include "UIView.h"

#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace morvex {

UIViewController::UIViewController(QWidget* parent) : QDialog(parent) {}

UIViewController::~UIViewController() = default;

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
        button->setToolTip(QString::fromUtf8(u8"返回"));
        button->setAccessibleName(QString::fromUtf8(u8"返回"));
        button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
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
    // Elsewhere a sheet is a dialog kept over its window, which window managers place and stack well.
    setParent(window, Qt::Dialog);
#endif
    m_presented = true;
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    loadViewIfNeeded();
    m_dismissed = false;
    show();
    raise();
    activateWindow();
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
