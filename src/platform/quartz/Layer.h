#pragma once
// A node of a LayerKit tree. Model values are set at once and read back at once; animations
// added to the layer (or started implicitly by changing a value of a layer inside a tree) move
// the presentation values, computed on demand for the clock's current time. Geometry is y-up in
// the superlayer's bounds space. Contents are an immutable picture shared by reference: they
// change only when set, or when the delegate redraws them after setNeedsDisplay.
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Point.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/Size.h"
#include "platform/quartz/AnimationValue.h"
#include "platform/quartz/LayerValues.h"
#include "platform/quartz/Transaction.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quartz {

class Animation;
class LayerDelegate;
struct LayerRenderCache;

using Contents = std::shared_ptr<const QImage>;

// How a layer follows a change of its superlayer's size (y-up: the min Y margin is the bottom).
enum : unsigned {
    kCALayerNotSizable = 0,
    kCALayerMinXMargin = 1u << 0,
    kCALayerWidthSizable = 1u << 1,
    kCALayerMaxXMargin = 1u << 2,
    kCALayerMinYMargin = 1u << 3,
    kCALayerHeightSizable = 1u << 4,
    kCALayerMaxYMargin = 1u << 5,
};

class Layer {
  public:
    Layer();
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    graphics::Rect bounds() const { return model_.bounds; }
    void setBounds(const graphics::Rect& bounds);
    graphics::Point position() const { return model_.position; }
    void setPosition(graphics::Point position);
    graphics::Point anchorPoint() const { return model_.anchorPoint; }
    void setAnchorPoint(graphics::Point anchor);
    // Derived from bounds, position, anchor point and transform. Setting it sets the bounds'
    // size and the position (as under the identity transform).
    graphics::Rect frame() const { return model_.frame(); }
    void setFrame(const graphics::Rect& frame);
    graphics::AffineTransform transform() const { return model_.transform; }
    void setTransform(const graphics::AffineTransform& transform);
    // Kept in single precision.
    double opacity() const { return model_.opacity; }
    void setOpacity(double opacity);
    double zPosition() const { return zPosition_; }
    void setZPosition(double z);
    // The flexible parts (kCALayer...) shared equally when the superlayer's bounds change size.
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);

    const Contents& contents() const { return contents_; }
    void setContents(Contents contents);
    double contentsScale() const { return contentsScale_; }
    void setContentsScale(double scale);
    // Fully transparent: no background.
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour);

    // A shadow of the contents' (else the bounds') shape, drawn blurred behind the layer.
    double shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(double opacity);
    graphics::Size shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(graphics::Size offset);
    double shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(double radius);
    QColor shadowColor() const { return shadowColor_; }
    void setShadowColor(const QColor& colour);

    Layer* superlayer() const { return superlayer_; }
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return sublayers_; }
    // A layer moves: it leaves its former superlayer first.
    void addSublayer(std::shared_ptr<Layer> layer);
    void insertSublayer(std::shared_ptr<Layer> layer, size_t index);
    void removeFromSuperlayer();

    LayerDelegate* delegate() const { return delegate_; }
    void setDelegate(LayerDelegate* delegate) { delegate_ = delegate; }
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    // Asks the delegate for new contents when they were marked stale.
    void displayIfNeeded();

    // Keeps a copy under `key` (replacing, and stopping, one there); starts it now unless it has
    // a begin time. An empty key never replaces.
    void addAnimation(const Animation& animation, const std::string& key);
    void removeAnimation(const std::string& key);
    void removeAllAnimations();
    // The layer's copy, or null.
    Animation* animation(const std::string& key) const;
    std::vector<std::string> animationKeys() const;

    const LayerValues& model() const { return model_; }
    // The values on screen at `time` (the clock's now by default).
    LayerValues presentation() const;
    LayerValues presentationAt(double time) const;
    // True while an animation has not yet run out.
    bool hasRunningAnimations(double time) const;

    // Called on the tree's root whenever something in the tree changes or moves.
    void setChangeObserver(std::function<void()> observer) { changeObserver_ = std::move(observer); }
    // Asks the tree's host to repaint.
    void setNeedsRepaint() const;

    // Used by the animator.
    struct StopEvent {
        Layer* layer;
        uint64_t id;
        double end;
    };
    void collectStops(double time, std::vector<StopEvent>& stops,
                      std::vector<std::pair<Layer*, uint64_t>>& starts) const;
    void startAnimation(uint64_t id);
    void finishAnimation(uint64_t id);
    bool holdsAnimation(uint64_t id) const;

    // The painter's caches for this layer's pictures.
    LayerRenderCache& renderCache() const;

  private:
    struct Record {
        uint64_t id;
        std::string key;
        std::shared_ptr<Animation> animation;
        double begin = 0;
        bool started = false;
        bool stopped = false;
        std::vector<std::shared_ptr<Transaction::Completion>> completions;
    };
    static void stop(Record& record, bool finished);
    void resizeSublayers(graphics::Size oldSize);
    void removeRecords(const std::function<bool(const Record&)>& which);
    bool animatesImplicitly() const;
    void implicitAnimation(const char* keyPath, const AnimationValue& from);

    std::string name_;
    LayerValues model_;
    double zPosition_ = 0;
    bool hidden_ = false;
    unsigned autoresizingMask_ = 0;
    Contents contents_;
    double contentsScale_ = 1;
    QColor background_ = Qt::transparent;
    double shadowOpacity_ = 0;
    graphics::Size shadowOffset_{0, -3};
    double shadowRadius_ = 3;
    QColor shadowColor_ = Qt::black;
    Layer* superlayer_ = nullptr;
    std::vector<std::shared_ptr<Layer>> sublayers_;
    LayerDelegate* delegate_ = nullptr;
    bool needsDisplay_ = false;
    std::vector<Record> records_;
    std::function<void()> changeObserver_;
    mutable std::unique_ptr<LayerRenderCache> cache_;
};

} // namespace quartz
