#include "Click.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QPointer>

namespace morvex {

namespace {

// Lives as a child of the view; deleting it detaches the action.
class ClickAction : public QObject
{
public:
    ClickAction(QWidget* view, QObject* target, std::function<void()> action)
        : QObject(view), m_view(view), m_target(target), m_hasTarget(target != nullptr), m_action(std::move(action))
    {
        setObjectName(objectNameForAction());
        if (auto* button = qobject_cast<QAbstractButton*>(view)) {
            connect(button, &QAbstractButton::clicked, this, [this] { run(); });
        } else {
            view->installEventFilter(this);
        }
    }

    ~ClickAction() override
    {
        if (m_view) {
            m_view->removeEventFilter(this);
        }
    }

    static QString objectNameForAction() { return QStringLiteral("morvex.click-action"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view) {
            return false;
        }
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_pressed = true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_pressed) {
                m_pressed = false;
                if (m_view->rect().contains(mouse->position().toPoint())) {
                    run();
                }
            }
        }
        return false;
    }

private:
    void run()
    {
        if (m_hasTarget && !m_target) {
            return;
        }
        const auto action = m_action; // the action may replace or delete us
        action();
    }

    QPointer<QWidget> m_view;
    QPointer<QObject> m_target;
    bool m_hasTarget;
    bool m_pressed = false;
    std::function<void()> m_action;
};

} // namespace

void Click::set(QWidget* view, QObject* target, std::function<void()> action)
{
    if (!view) {
        return;
    }
    clear(view);
    if (action) {
        new ClickAction(view, target, std::move(action));
    }
}

void Click::clear(QWidget* view)
{
    if (!view) {
        return;
    }
    // ClickAction has no meta-object of its own, so find it by name and check the type for real.
    const auto children = view->findChildren<QObject*>(ClickAction::objectNameForAction(), Qt::FindDirectChildrenOnly);
    for (QObject* child : children) {
        delete dynamic_cast<ClickAction*>(child);
    }
}

} // namespace morvex
