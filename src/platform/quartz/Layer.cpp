#include "platform/quartz/Layer.h"

#include "platform/graphics/SinglePrecision.h"
#include "platform/quartz/Animation.h"
#include "platform/quartz/AnimationDelegate.h"
#include "platform/quartz/Animator.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Clock.h"
#include "platform/quartz/LayerDelegate.h"
#include "platform/quartz/LayerRenderCache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quartz {

namespace {
uint64_t nextAnimationId = 1;
uint64_t nextAnonymousKey = 1;
} // namespace

Layer::Layer() = default;

Layer::~Layer() {
    Animator::shared().forget(this);
    for (auto& sublayer : sublayers_)
        sublayer->superlayer_ = nullptr;
    // Taken off first, so a delegate reaching for this layer finds nothing left to stop.
    std::vector<Record> records = std::move(records_);
    records_.clear();
    for (Record& record : records)
        stop(record, false);
}

bool Layer::animatesImplicitly() const {
    return superlayer_ && !Transaction::disableActions() && Transaction::animationDuration() > 0;
}

void Layer::implicitAnimation(const char* keyPath, const AnimationValue& from) {
    BasicAnimation animation(keyPath);
    animation.setFromValue(from);
    animation.setDuration(Transaction::animationDuration());
    animation.setTimingFunction(Transaction::animationTimingFunction());
    addAnimation(animation, keyPath);
}

void Layer::setBounds(const graphics::Rect& bounds) {
    if (bounds == model_.bounds && bounds.origin == model_.bounds.origin) return;
    const bool animate = animatesImplicitly();
    const graphics::Rect from = animate ? presentation().bounds : graphics::Rect();
    const graphics::Size oldSize = model_.bounds.standardized().size;
    model_.bounds = bounds;
    if (animate) implicitAnimation("bounds", from);
    resizeSublayers(oldSize);
    setNeedsRepaint();
}

namespace {
// Shares a change of the superlayer's size among the flexible parts of one axis: the margin
// before, the size and the margin after.
void distribute(double delta, bool before, bool size, bool after, double& origin, double& length) {
    const int parts = int(before) + int(size) + int(after);
    if (parts == 0 || delta == 0) return;
    const double share = delta / parts;
    if (before) origin += share;
    if (size) length += share;
}
} // namespace

void Layer::resizeSublayers(graphics::Size oldSize) {
    const graphics::Size newSize = model_.bounds.standardized().size;
    const double dw = newSize.width - oldSize.width, dh = newSize.height - oldSize.height;
    if (dw == 0 && dh == 0) return;
    bool any = false;
    for (const auto& sublayer : sublayers_)
        any = any || sublayer->autoresizingMask_ != 0;
    if (!any) return;
    // Layout follows the superlayer at once; it never animates.
    Transaction::begin();
    Transaction::setDisableActions(true);
    const std::vector<std::shared_ptr<Layer>> sublayers = sublayers_;
    for (const auto& sublayer : sublayers) {
        const unsigned mask = sublayer->autoresizingMask_;
        if (!mask) continue;
        graphics::Rect f = sublayer->frame();
        distribute(dw, mask & kCALayerMinXMargin, mask & kCALayerWidthSizable, mask & kCALayerMaxXMargin,
                   f.origin.x, f.size.width);
        distribute(dh, mask & kCALayerMinYMargin, mask & kCALayerHeightSizable, mask & kCALayerMaxYMargin,
                   f.origin.y, f.size.height);
        sublayer->setFrame(f);
    }
    Transaction::commit();
}

void Layer::setPosition(graphics::Point position) {
    if (position == model_.position) return;
    const bool animate = animatesImplicitly();
    const graphics::Point from = animate ? presentation().position : graphics::Point();
    model_.position = position;
    if (animate) implicitAnimation("position", from);
    setNeedsRepaint();
}

void Layer::setAnchorPoint(graphics::Point anchor) {
    model_.anchorPoint = anchor;
    setNeedsRepaint();
}

void Layer::setFrame(const graphics::Rect& frame) {
    const graphics::Rect f = frame.standardized();
    graphics::Rect bounds = model_.bounds;
    bounds.size = f.size;
    setBounds(bounds);
    setPosition({f.origin.x + model_.anchorPoint.x * f.size.width,
                 f.origin.y + model_.anchorPoint.y * f.size.height});
}

void Layer::setTransform(const graphics::AffineTransform& transform) {
    if (transform == model_.transform) return;
    const bool animate = animatesImplicitly();
    const graphics::AffineTransform from = animate ? presentation().transform : graphics::AffineTransform();
    model_.transform = transform;
    if (animate) implicitAnimation("transform", from);
    setNeedsRepaint();
}

void Layer::setOpacity(double opacity) {
    const double value = graphics::f32(opacity);
    if (value == model_.opacity) return;
    const bool animate = animatesImplicitly();
    const double from = animate ? presentation().opacity : 0;
    model_.opacity = value;
    if (animate) implicitAnimation("opacity", from);
    setNeedsRepaint();
}

void Layer::setZPosition(double z) {
    zPosition_ = z;
    setNeedsRepaint();
}

void Layer::setHidden(bool hidden) {
    hidden_ = hidden;
    setNeedsRepaint();
}

void Layer::setContents(Contents contents) {
    contents_ = std::move(contents);
    setNeedsRepaint();
}

void Layer::setContentsScale(double scale) {
    contentsScale_ = scale > 0 ? scale : 1;
    setNeedsRepaint();
}

void Layer::setBackgroundColor(const QColor& colour) {
    background_ = colour;
    setNeedsRepaint();
}

void Layer::setShadowOpacity(double opacity) {
    shadowOpacity_ = std::clamp(opacity, 0.0, 1.0);
    setNeedsRepaint();
}

void Layer::setShadowOffset(graphics::Size offset) {
    shadowOffset_ = offset;
    setNeedsRepaint();
}

void Layer::setShadowRadius(double radius) {
    shadowRadius_ = std::max(0.0, radius);
    setNeedsRepaint();
}

void Layer::setShadowColor(const QColor& colour) {
    shadowColor_ = colour;
    setNeedsRepaint();
}

void Layer::addSublayer(std::shared_ptr<Layer> layer) {
    insertSublayer(std::move(layer), sublayers_.size());
}

void Layer::insertSublayer(std::shared_ptr<Layer> layer, size_t index) {
    if (!layer || layer.get() == this) return;
    // A layer cannot hold one of its own ancestors.
    for (const Layer* up = superlayer_; up; up = up->superlayer_)
        if (up == layer.get()) return;
    layer->removeFromSuperlayer();
    index = std::min(index, sublayers_.size());
    layer->superlayer_ = this;
    sublayers_.insert(sublayers_.begin() + std::ptrdiff_t(index), std::move(layer));
    setNeedsRepaint();
}

void Layer::removeFromSuperlayer() {
    Layer* parent = superlayer_;
    if (!parent) return;
    parent->setNeedsRepaint();
    superlayer_ = nullptr;
    auto& siblings = parent->sublayers_;
    auto it =
        std::find_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; });
    if (it != siblings.end()) {
        std::shared_ptr<Layer> keep = std::move(*it); // may be the last owner: erase first, release after
        siblings.erase(it);
    }
}

void Layer::setNeedsDisplay() {
    needsDisplay_ = true;
    setNeedsRepaint();
}

void Layer::displayIfNeeded() {
    if (!needsDisplay_) return;
    needsDisplay_ = false;
    if (!delegate_ || delegate_->displayLayer(*this)) return;
    const graphics::Rect b = model_.bounds.standardized();
    const int w = int(std::ceil(b.width() * contentsScale_)), h = int(std::ceil(b.height() * contentsScale_));
    if (w <= 0 || h <= 0) {
        contents_.reset();
        return;
    }
    auto image = std::make_shared<QImage>(w, h, QImage::Format_ARGB32_Premultiplied);
    if (image->isNull()) return; // out of memory: keep the old picture
    image->fill(Qt::transparent);
    {
        QPainter painter(image.get());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0, h);
        painter.scale(contentsScale_, -contentsScale_);
        painter.translate(-b.minX(), -b.minY());
        delegate_->drawLayer(*this, painter);
    }
    contents_ = std::move(image);
}

void Layer::addAnimation(const Animation& animation, const std::string& key) {
    Record record;
    record.id = nextAnimationId++;
    record.key = key.empty() ? "\x01" + std::to_string(nextAnonymousKey++) : key;
    record.animation = animation.copy();
    record.animation->settleDuration(kDefaultAnimationDuration);
    record.begin = animation.beginTime() > 0 ? animation.beginTime() : Clock::now();
    record.completions = Transaction::openCompletions();
    // The replaced animation stops after the new one is in place, so its delegate sees the new state.
    std::vector<Record> replaced;
    auto it =
        std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.key == record.key; });
    if (it != records_.end()) {
        replaced.push_back(std::move(*it));
        *it = std::move(record);
    } else {
        records_.push_back(std::move(record));
    }
    Animator::shared().watch(this);
    setNeedsRepaint();
    for (Record& r : replaced)
        stop(r, false);
}

void Layer::removeRecords(const std::function<bool(const Record&)>& which) {
    std::vector<Record> removed;
    for (auto it = records_.begin(); it != records_.end();) {
        if (which(*it)) {
            removed.push_back(std::move(*it));
            it = records_.erase(it);
        } else {
            ++it;
        }
    }
    if (removed.empty()) return;
    if (records_.empty()) Animator::shared().forget(this);
    setNeedsRepaint();
    for (Record& r : removed)
        stop(r, false);
}

void Layer::removeAnimation(const std::string& key) {
    removeRecords([&](const Record& r) { return r.key == key; });
}

void Layer::removeAllAnimations() {
    removeRecords([](const Record&) { return true; });
}

Animation* Layer::animation(const std::string& key) const {
    for (const Record& r : records_)
        if (r.key == key) return r.animation.get();
    return nullptr;
}

std::vector<std::string> Layer::animationKeys() const {
    std::vector<std::string> keys;
    for (const Record& r : records_)
        if (r.key.empty() || r.key[0] != '\x01') keys.push_back(r.key);
    return keys;
}

LayerValues Layer::presentation() const {
    return presentationAt(Clock::now());
}

LayerValues Layer::presentationAt(double time) const {
    LayerValues values = model_;
    for (const Record& r : records_)
        r.animation->apply(time - r.begin, values);
    return values;
}

bool Layer::hasRunningAnimations(double time) const {
    for (const Record& r : records_)
        if (time < r.begin + r.animation->duration()) return true;
    return false;
}

void Layer::setNeedsRepaint() const {
    const Layer* root = this;
    while (root->superlayer_)
        root = root->superlayer_;
    if (root->changeObserver_) root->changeObserver_();
}

void Layer::stop(Record& record, bool finished) {
    if (record.stopped) return;
    record.stopped = true;
    std::shared_ptr<Animation> animation = record.animation; // alive through the delegate's call
    if (AnimationDelegate* delegate = animation->delegate())
        delegate->animationDidStop(animation.get(), finished);
    std::vector<std::shared_ptr<Transaction::Completion>> completions = std::move(record.completions);
    record.completions.clear();
    for (const auto& completion : completions)
        Transaction::release(completion);
}

void Layer::collectStops(double time, std::vector<StopEvent>& stops,
                         std::vector<std::pair<Layer*, uint64_t>>& starts) const {
    for (const Record& r : records_) {
        if (!r.started && time >= r.begin) starts.emplace_back(const_cast<Layer*>(this), r.id);
        const double end = r.begin + r.animation->duration();
        if (!r.stopped && time >= end) stops.push_back({const_cast<Layer*>(this), r.id, end});
    }
}

void Layer::startAnimation(uint64_t id) {
    for (Record& r : records_)
        if (r.id == id && !r.started) {
            r.started = true;
            std::shared_ptr<Animation> animation = r.animation;
            if (AnimationDelegate* delegate = animation->delegate())
                delegate->animationDidStart(animation.get());
            return;
        }
}

void Layer::finishAnimation(uint64_t id) {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
    if (it == records_.end() || it->stopped) return;
    if (it->animation->isRemovedOnCompletion()) {
        Record record = std::move(*it);
        records_.erase(it);
        if (records_.empty()) Animator::shared().forget(this);
        setNeedsRepaint();
        stop(record, true);
    } else {
        // Stays (holding its end values when filled); stopped so it never reports again.
        it->stopped = true;
        Record copy;
        copy.animation = it->animation;
        copy.completions = std::move(it->completions);
        it->completions.clear();
        setNeedsRepaint();
        stop(copy, true);
    }
}

bool Layer::holdsAnimation(uint64_t id) const {
    return std::any_of(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
}

LayerRenderCache& Layer::renderCache() const {
    if (!cache_) cache_ = std::make_unique<LayerRenderCache>();
    return *cache_;
}

} // namespace quartz
