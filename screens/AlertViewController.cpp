#include "AlertViewController.h"

#include "Gray.h"
#include "NSTheme.h"
#include "UIButton.h"
#include "UILabel.h"
#include "UIView.h"
#include "Workspace.h"

#include <utility>

namespace morvex {

namespace {

QPointer<AlertViewController>& slot()
{
    static QPointer<AlertViewController> current;
    return current;
}

} // namespace

AlertViewController::AlertViewController(QWidget* parent) : UIViewController(parent)
{
    setWindowTitle(QStringLiteral("Morvex"));
}

AlertViewController::~AlertViewController() = default;

AlertViewController* AlertViewController::current()
{
    return slot();
}

void AlertViewController::show(const QString& title, const QString& detail, const QString& button, QWidget* from)
{
    if (AlertViewController* previous = slot())
        previous->disappear();
    auto* alert = new AlertViewController;
    slot() = alert;
    alert->cancelBtn()->setTitle(button);
    alert->titleLabel()->setStringValue(title);
    alert->titleLabel()->setToolTip(title);
    alert->msgLabel()->setStringValue(detail);
    alert->presentAsSheet(from);
}

void AlertViewController::ask(const QString& title, const QString& detail, const QString& confirm,
                              const QString& cancel, QWidget* from, std::function<void()> confirmed)
{
    show(title, detail, cancel, from);
    AlertViewController* alert = slot();
    auto* button = new UIButton(alert->view());
    button->text().setColor(Qt::white);
    button->text().setFontSize(16);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setTitle(confirm);
    alert->m_confirmed = std::move(confirmed);
    connect(button, &UIButton::clicked, alert, [alert] {
        alert->m_isConfirmed = true;
        alert->disappear();
    });
    alert->m_confirmBtn = button;
    button->setGeometry(width - 20 - 100 - 10 - 100, height - 10 - 38, 100, 38);
    button->show();
}

void AlertViewController::openLink(const QUrl& url, QWidget* from)
{
    if (!Workspace::shared().openURL(url))
        showLinkFailure(url, from);
}

void AlertViewController::showLinkFailure(const QUrl& url, QWidget* from)
{
    show(tr("无法打开网页"), tr("请在浏览器中打开 %1").arg(url.toString()), tr("好的"), from);
}

UIButton* AlertViewController::cancelBtn()
{
    if (!m_cancelBtn) {
        auto* button = new UIButton(this);
        button->text().setColor(Qt::white);
        button->text().setFontSize(16);
        button->setAutoDefault(false);
        button->setDefault(true);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &UIButton::clicked, this, &AlertViewController::disappear);
        m_cancelBtn = button;
    }
    return m_cancelBtn;
}

UILabel* AlertViewController::titleLabel()
{
    if (!m_titleLabel) {
        auto* label = new UILabel(this);
        label->text().setColor(Qt::white);
        label->text().setFontSize(18);
        label->setAlignment(Qt::AlignCenter);
        // A long title keeps its beginning, which says what went wrong.
        label->setLineBreakMode(UITextField::LineBreakMode::TruncatingTail);
        label->setFocusPolicy(Qt::NoFocus);
        m_titleLabel = label;
    }
    return m_titleLabel;
}

UILabel* AlertViewController::msgLabel()
{
    if (!m_msgLabel) {
        auto* label = new UILabel(this);
        label->text().setColor(gray(88, 1.0));
        label->text().setFontSize(16);
        label->setUsesSingleLineMode(false);
        label->setLineBreakMode(UITextField::LineBreakMode::WordWrapping);
        label->setFocusPolicy(Qt::NoFocus);
        m_msgLabel = label;
    }
    return m_msgLabel;
}

QWidget* AlertViewController::loadView()
{
    auto* content = new UIView(this);
    content->resize(width, height);
    content->background().setColor(NSTheme::accent());
    return content;
}

void AlertViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    QWidget* content = view();
    UILabel* title = titleLabel();
    UILabel* message = msgLabel();
    UIButton* button = cancelBtn();
    title->setParent(content);
    message->setParent(content);
    button->setParent(content);
    title->setGeometry(0, 10, width, 38);
    message->setGeometry((width - 560) / 2, 10 + 38 + 10, 560, 80);
    button->setGeometry(width - 20 - 100, height - 10 - 38, 100, 38);
    title->show();
    message->show();
    button->show();
    button->setFocus();
}

void AlertViewController::viewDidDisappear()
{
    UIViewController::viewDidDisappear();
    if (slot() == this)
        slot() = nullptr;
    if (m_isConfirmed && m_confirmed) {
        m_isConfirmed = false;
        std::exchange(m_confirmed, nullptr)();
    }
}

} // namespace morvex
