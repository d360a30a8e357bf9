#include "platform/quartz/Animator.h"

#include "platform/quartz/Clock.h"
#include "platform/quartz/Layer.h"

#include <QCoreApplication>
#include <algorithm>

namespace quartz {

namespace {
constexpr int kFrameMilliseconds = 16;
}

Animator& Animator::shared() {
    static Animator animator;
    return animator;
}

void Animator::watch(Layer* layer) {
    if (!isWatching(layer)) layers_.push_back(layer);
    keepTicking();
}

void Animator::forget(Layer* layer) {
    std::erase(layers_, layer);
}

bool Animator::isWatching(const Layer* layer) const {
    return std::find(layers_.begin(), layers_.end(), layer) != layers_.end();
}

void Animator::post(std::function<void()> work) {
    posted_.push_back(std::move(work));
    if (flushQueued_ || !QCoreApplication::instance()) return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this] {
            flushQueued_ = false;
            runPosted();
        },
        Qt::QueuedConnection);
}

void Animator::runPosted() {
    std::vector<std::function<void()>> work;
    work.swap(posted_);
    for (auto& fn : work)
        fn();
}

void Animator::tick() {
    runPosted();
    const double now = Clock::now();
    std::vector<Layer::StopEvent> stops;
    std::vector<std::pair<Layer*, uint64_t>> starts;
    for (Layer* layer : layers_)
        layer->collectStops(now, stops, starts);
    // Each call may add, remove or destroy layers: check before every one (ids are never reused).
    for (auto& [layer, id] : starts)
        if (isWatching(layer) && layer->holdsAnimation(id)) layer->startAnimation(id);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const Layer::StopEvent& a, const Layer::StopEvent& b) { return a.end < b.end; });
    for (const Layer::StopEvent& stop : stops)
        if (isWatching(stop.layer) && stop.layer->holdsAnimation(stop.id))
            stop.layer->finishAnimation(stop.id);
    const std::vector<Layer*> layers = layers_;
    for (Layer* layer : layers)
        if (isWatching(layer) && layer->hasRunningAnimations(now)) layer->setNeedsRepaint();
    keepTicking();
}

void Animator::keepTicking() {
    const bool running = !Clock::isVirtual() && QCoreApplication::instance() &&
                         std::any_of(layers_.begin(), layers_.end(),
                                     [now = Clock::now()](Layer* l) { return l->hasRunningAnimations(now); });
    if (!running) {
        if (timer_) timer_->stop();
        return;
    }
    if (!timer_) {
        timer_ = new QTimer(QCoreApplication::instance());
        timer_->setInterval(kFrameMilliseconds);
        QObject::connect(timer_, &QTimer::timeout, [this] { tick(); });
    }
    if (!timer_->isActive()) timer_->start();
}

} // namespace quartz
