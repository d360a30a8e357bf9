#pragma once
// Gives a layer its contents when the layer was asked to redisplay: either by setting them
// itself (displayLayer answers true) or by drawing them (drawLayer). The painter is y-up over the
// layer's bounds (origin at the bottom left) at the layer's contents scale.
class QPainter;

namespace quartz {

class Layer;

class LayerDelegate {
  public:
    virtual ~LayerDelegate() = default;
    virtual bool displayLayer(Layer& layer) {
        (void)layer;
        return false;
    }
    virtual void drawLayer(Layer& layer, QPainter& painter) {
        (void)layer;
        (void)painter;
    }
};

} // namespace quartz
