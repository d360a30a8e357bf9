#pragma once
// Draws a layer's contents when the layer was asked to redisplay. The painter is y-up over the
// layer's bounds (origin at the bottom left) at the layer's contents scale.
class QPainter;

namespace quartz {

class Layer;

class LayerDelegate {
public:
    virtual ~LayerDelegate() = default;
    virtual void drawLayer(Layer& layer, QPainter& painter) = 0;
};

} // namespace quartz
