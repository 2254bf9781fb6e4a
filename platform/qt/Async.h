#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace morvex {

/// Deferred calls on an event loop.
class Async
{
public:
    Async() = delete;

    /// Runs `event` once, `seconds` later, in the thread of `queue` (the application object when null).
    /// May be called from any thread. Nothing runs if `queue` is destroyed first.
    static void delay(double seconds, QObject* queue, std::function<void()> event);

    /// The timer interval used for a delay of `seconds`: rounded to the millisecond; negative or NaN is 0.
    static std::chrono::milliseconds interval(double seconds);
};

} // namespace morvex
