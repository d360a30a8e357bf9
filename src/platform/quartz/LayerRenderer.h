#pragma once
// Paints a layer tree with QPainter at its presentation values. Contents drawn much smaller than
// their pixels come from halved copies, and a picture whose size on the device holds from frame
// to frame is scaled once and then drawn unscaled; shadows are blurred once per size.
class QPainter;

namespace quartz {

class Layer;

class LayerRenderer {
  public:
    // `root`'s superlayer space is the painter's space flipped over `height` (y-up), at `time`.
    static void render(QPainter& painter, Layer& root, double height, double time);
};

} // namespace quartz
