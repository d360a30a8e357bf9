#include "platform/appkit/MainQueuePump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

namespace appkit {

MainQueuePump::MainQueuePump() {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread()))
        passEnd_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                    [] { foundation::MainQueue::passDidEnd(); });
    foundation::MainQueue::setDispatcher(this);
}

MainQueuePump::~MainQueuePump() {
    foundation::MainQueue::setDispatcher(nullptr);
    QObject::disconnect(passEnd_);
}

void MainQueuePump::async(foundation::MainQueue::Task task) {
    // Queued calls to one receiver arrive in posting order, from any thread.
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void MainQueuePump::after(double seconds, foundation::MainQueue::Task task) {
    using Clock = std::chrono::steady_clock;
    const double capped = std::clamp(seconds, 0.0, double(INT_MAX) / 1000.0);
    const Clock::time_point due =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(capped));
    // The timer must start on the main thread; the time already spent getting there counts.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [due, task = std::move(task)]() mutable {
            const double left = std::chrono::duration<double, std::milli>(due - Clock::now()).count();
            const int ms = left > 0 ? int(std::ceil(left)) : 0;
            QTimer::singleShot(ms, Qt::PreciseTimer, QCoreApplication::instance(), std::move(task));
        },
        Qt::QueuedConnection);
}

} // namespace appkit
