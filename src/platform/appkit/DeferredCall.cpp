#include "platform/appkit/DeferredCall.h"

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace appkit {

namespace {

struct Request {
    const void* target;
    std::string selector;
    std::unique_ptr<QTimer> timer;
    std::function<void()> call;
    QMetaObject::Connection targetGone;
};

// Never destroyed: timers still pending at exit must not be torn down after the application.
std::vector<std::unique_ptr<Request>>& pending() {
    static auto* requests = new std::vector<std::unique_ptr<Request>>;
    return *requests;
}

int milliseconds(double seconds) {
    if (!(seconds > 0)) return 0; // also NaN
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= double(INT_MAX) ? INT_MAX : int(ms);
}

// Takes the matching requests out before they are destroyed, so that whatever their calls hold
// is released with the registry already consistent.
void cancelWhere(const std::function<bool(const Request&)>& matches) {
    auto& requests = pending();
    std::vector<std::unique_ptr<Request>> dropped;
    for (auto it = requests.begin(); it != requests.end();) {
        if (matches(**it)) {
            dropped.push_back(std::move(*it));
            it = requests.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& r : dropped) {
        r->timer->stop();
        QObject::disconnect(r->targetGone);
    }
}

void schedule(const void* target, const QObject* watched, const std::string& selector, double seconds,
              std::function<void()> call) {
    if (!call) return;
    auto request = std::make_unique<Request>();
    Request* raw = request.get();
    raw->target = target;
    raw->selector = selector;
    raw->call = std::move(call);
    raw->timer = std::make_unique<QTimer>();
    raw->timer->setSingleShot(true);
    // Precise timers keep calls of equal delay in the order they were asked for.
    raw->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(raw->timer.get(), &QTimer::timeout, [raw] {
        auto& requests = pending();
        auto it =
            std::find_if(requests.begin(), requests.end(), [raw](const auto& r) { return r.get() == raw; });
        if (it == requests.end()) return;
        std::unique_ptr<Request> fired = std::move(*it);
        requests.erase(it);
        QObject::disconnect(fired->targetGone);
        std::function<void()> run = std::move(fired->call);
        // The timer is inside its own signal: it goes once control is back in the loop.
        fired->timer.release()->deleteLater();
        run();
    });
    if (watched)
        raw->targetGone = QObject::connect(watched, &QObject::destroyed,
                                           [target] { DeferredCall::cancelPreviousPerformRequests(target); });
    raw->timer->start(milliseconds(seconds));
    pending().push_back(std::move(request));
}

} // namespace

void DeferredCall::perform(const QObject* target, const std::string& selector, double seconds,
                           std::function<void()> call) {
    schedule(target, target, selector, seconds, std::move(call));
}

void DeferredCall::perform(const void* target, const std::string& selector, double seconds,
                           std::function<void()> call) {
    schedule(target, nullptr, selector, seconds, std::move(call));
}

void DeferredCall::cancelPreviousPerformRequests(const void* target) {
    cancelWhere([target](const Request& r) { return r.target == target; });
}

void DeferredCall::cancelPreviousPerformRequests(const void* target, const std::string& selector) {
    cancelWhere([&](const Request& r) { return r.target == target && r.selector == selector; });
}

int DeferredCall::pendingCount(const void* target) {
    return int(std::count_if(pending().begin(), pending().end(),
                             [target](const auto& r) { return r->target == target; }));
}

int DeferredCall::pendingCount(const void* target, const std::string& selector) {
    return int(std::count_if(pending().begin(), pending().end(),
                             [&](const auto& r) { return r->target == target && r->selector == selector; }));
}

} // namespace appkit
