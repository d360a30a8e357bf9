#include "imageview/CanvasGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

double roundF(double v) {
    return double(std::round(float(v)));
}

// A knob value in 0..1; a scroller with no room to move answers the given end.
double knobValue(double numerator, double room, double offset, double whenNoRoom) {
    if (!(room > 0)) return whenNoRoom;
    const double v = numerator / room + offset;
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : whenNoRoom;
}

} // namespace

graphics::Rect CanvasGeometry::contentArea() const {
    return graphics::Rect(
        superviewFrame.minX() + layout.contentOffset, superviewFrame.minY() + layout.contentOffset,
        superviewFrame.width() - layout.contentWidthLoss, superviewFrame.height() - layout.contentHeightLoss);
}

CanvasGeometry::Validated CanvasGeometry::validateFrame(const graphics::Rect& r) const {
    Validated out;
    double x = roundF(r.origin.x), y = roundF(r.origin.y);
    const double w = roundF(r.size.width), h = roundF(r.size.height);
    const double hLength = horizontalScroller.width - widthMargin;
    const double vLength = verticalScroller.height - widthMargin;
    const graphics::Rect content = contentArea();
    double rightInset = layout.rightInset;

    if (w + 5 > hLength) {
        const double v = h + 5 > vLength ? verticalScroller.width - 3 : 0;
        out.horizontal.shown = true;
        out.horizontal.knobProportion = std::clamp(hLength / (w + v), 0.0, 1.0);
        out.horizontal.value = knobValue(-(x - layout.panLimit), w + v - hLength, 0, 0);
        out.bottom = horizontalScroller.height - 3;
    } else {
        x = std::round(content.width() / 2 + content.minX() - w / 2);
    }
    if (h + 5 > vLength) {
        out.vertical.shown = true;
        rightInset = verticalScroller.width - 3 + layout.rightInset;
        out.vertical.knobProportion = std::clamp(vLength / (h + out.bottom), 0.0, 1.0);
        out.vertical.value = knobValue(y - layout.panLimit - out.bottom, h + out.bottom - vLength, 1, 1);
    } else {
        y = std::round(content.height() / 2 + content.minY() - h / 2);
    }
    out.squareShown = out.horizontal.shown || out.vertical.shown;
    out.realFrame = graphics::Rect(x, y, w, h);

    // Clipped to what the window leaves free.
    const double availableWidth = superviewFrame.width() - rightInset;
    const double availableHeight = superviewFrame.height() - layout.bottomInset;
    double fx = x, fy = y, fw = w, fh = h;
    if (fx < 0) {
        fw += fx;
        fx = 0;
    }
    if (fy < out.bottom) {
        fh -= out.bottom - fy;
        fy = out.bottom;
    }
    fw = std::max(0.0, std::min(fw, availableWidth - fx));
    fh = std::max(0.0, std::min(fh, availableHeight - fy));
    out.frame = graphics::Rect(fx, fy, fw, fh);
    return out;
}

graphics::Point CanvasGeometry::limitedOrigin(graphics::Point origin, const Validated& state) const {
    const graphics::Rect& real = state.realFrame;
    graphics::Point p = origin;
    if (state.horizontal.shown) {
        const double v = state.vertical.shown ? verticalScroller.width - 3 : 0;
        const double low = (superviewFrame.width() - layout.rightInset) - layout.panLimit - v - real.width();
        p.x = std::max(std::min(p.x, layout.panLimit), low);
    } else {
        p.x = real.minX();
    }
    if (state.vertical.shown) {
        const double top =
            state.horizontal.shown ? horizontalScroller.height - 3 + layout.panLimit : layout.panLimit;
        const double low = (superviewFrame.height() - layout.bottomInset) - layout.panLimit - real.height();
        p.y = std::max(std::min(p.y, top), low);
    } else {
        p.y = real.minY();
    }
    return p;
}

std::optional<double> CanvasGeometry::horizontalScrolled(ScrollerPart part, double value,
                                                         const Validated& state) const {
    const graphics::Rect& real = state.realFrame;
    const double length = horizontalScroller.width - widthMargin;
    const double v = state.vertical.shown ? verticalScroller.width - 3 : 0;
    switch (part) {
    case ScrollerPart::Knob:
        return layout.panLimit - value * (real.width() + v - length);
    case ScrollerPart::DecrementPage:
        return std::min(layout.panLimit, real.minX() + length);
    case ScrollerPart::IncrementPage:
        return std::max(real.minX() - length,
                        (superviewFrame.width() - layout.rightInset) - layout.panLimit - v - real.width());
    default:
        return std::nullopt;
    }
}

std::optional<double> CanvasGeometry::verticalScrolled(ScrollerPart part, double value,
                                                       const Validated& state) const {
    const graphics::Rect& real = state.realFrame;
    const double length = verticalScroller.height - widthMargin;
    const double b = state.horizontal.shown ? horizontalScroller.height - 3 : 0;
    const double top =
        state.horizontal.shown ? horizontalScroller.height - 3 + layout.panLimit : layout.panLimit;
    switch (part) {
    case ScrollerPart::Knob:
        return b + layout.panLimit + (value - 1) * (real.height() + b - length);
    case ScrollerPart::IncrementPage:
        return std::min(top, real.minY() + length);
    case ScrollerPart::DecrementPage:
        return std::max(real.minY() - length,
                        (superviewFrame.height() - layout.bottomInset) - layout.panLimit - real.height());
    default:
        return std::nullopt;
    }
}

graphics::Point CanvasGeometry::scrolledBy(double deltaX, double deltaY, const Validated& state) const {
    graphics::Point p = state.realFrame.origin;
    if (state.horizontal.shown) p.x += 2 * deltaX;
    if (state.vertical.shown) p.y -= 2 * deltaY;
    return limitedOrigin(p, state);
}

CanvasGeometry::Zoom CanvasGeometry::zoomToFit(const graphics::Rect& area, const graphics::Size& image) {
    if (!(image.width > 0 && image.height > 0)) return {1, graphics::Rect(area.midX(), area.midY(), 0, 0)};
    const double sx = double(float(area.width() / image.width)),
                 sy = double(float(area.height() / image.height));
    const double scale = sx > 1 && sy > 1 ? 1 : std::min(sx, sy);
    const double w = image.width * scale, h = image.height * scale;
    return {scale, graphics::Rect(std::round(area.midX() - w / 2), std::round(area.midY() - h / 2), w, h)};
}

CanvasGeometry::Zoom CanvasGeometry::zoomToActualSize(const graphics::Rect& frame,
                                                      const graphics::Size& image, double factor,
                                                      const graphics::Size& photo) {
    double scale = factor;
    double w = std::round(image.width * scale), h = std::round(image.height * scale);
    if (w * h >= 160000000.0 && photo.width > 0 && photo.height > 0) {
        const double q = std::max(photo.width, photo.height) / std::min(photo.width, photo.height);
        const double a = std::sqrt(160000000.0 / q);
        const double shorter = std::round(a), longer = std::round(q * a);
        w = photo.width >= photo.height ? longer : shorter;
        h = photo.width >= photo.height ? shorter : longer;
        scale = w / image.width;
    }
    return {scale, graphics::Rect(std::round(frame.midX() - w / 2), std::round(frame.midY() - h / 2), w, h)};
}

graphics::Rect CanvasGeometry::zoomedAboutCentre(const graphics::Rect& frame, const graphics::Rect& realFrame,
                                                 const graphics::Size& size) {
    const double cx = frame.midX() - realFrame.minX(), cy = frame.midY() - realFrame.minY();
    const double ox =
        realFrame.width() > 0 ? std::round(size.width * cx / realFrame.width()) : size.width / 2;
    const double oy =
        realFrame.height() > 0 ? std::round(size.height * cy / realFrame.height()) : size.height / 2;
    return graphics::Rect(frame.midX() - ox, frame.midY() - oy, size.width, size.height);
}
