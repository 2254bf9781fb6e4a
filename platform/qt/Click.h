#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

namespace morvex {

/// Makes a click on any widget run an action, the way a button's action runs.
///
/// A click is a left press and release inside the widget; for a button it is the button's own `clicked`,
/// so keyboard activation counts too. Setting an action replaces the previous one. The action does not run
/// once `target` has been destroyed.
class Click
{
public:
    Click() = delete;

    static void set(QWidget* view, QObject* target, std::function<void()> action);

    template <typename T>
    static void set(QWidget* view, T* target, void (T::*action)())
    {
        set(view, target, [target, action] { (target->*action)(); });
    }

    /// Removes the action set on `view`, if any.
    static void clear(QWidget* view);
};

} // namespace morvex
