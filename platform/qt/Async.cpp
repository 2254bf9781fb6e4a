#include "Async.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <limits>

namespace morvex {

std::chrono::milliseconds Async::interval(double seconds)
{
    if (!(seconds > 0)) {
        return std::chrono::milliseconds{0};
    }
    const double ms = std::round(seconds * 1000.0);
    const auto cap = static_cast<double>(std::numeric_limits<int>::max());
    return std::chrono::milliseconds{static_cast<long long>(std::min(ms, cap))};
}

void Async::delay(double seconds, QObject* queue, std::function<void()> event)
{
    if (!queue) {
        queue = QCoreApplication::instance();
    }
    if (!queue || !event) {
        return;
    }
    const auto ms = interval(seconds);
    // A precise timer: the coarse default may fire up to 5 % early, and a 5 s delay should not be 4.75 s.
    auto arm = [queue, ms, event = std::move(event)]() mutable {
        QTimer::singleShot(ms, Qt::PreciseTimer, queue, std::move(event));
    };
    if (QThread::currentThread() == queue->thread()) {
        arm();
    } else {
        QMetaObject::invokeMethod(queue, std::move(arm), Qt::QueuedConnection);
    }
}

} // namespace morvex
