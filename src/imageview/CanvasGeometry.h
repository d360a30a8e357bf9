#pragma once
// The mask canvas's own geometry, apart from the widget: the whole zoomed image (realFrame) in
// the editor's content view, the part of it that is visible, the two window scrollers' states,
// zoom to fit and to actual size, zoom about the visible centre, and the panning limits. y-up.
#include "platform/graphics/Rect.h"

#include <optional>

// The editor window's layout around the canvas, given by the owner.
struct CanvasLayout {
    double contentOffset = 15;     // the content area starts this far into the superview
    double contentWidthLoss = 339; // and is this much narrower
    double contentHeightLoss = 79; // and lower
    double rightInset = 309;       // the clipping area's right margin without a vertical scroller
    double bottomInset = 49;       // and its bottom loss
    double panLimit = 10;          // how far the image may leave the content edges
};

struct ScrollerState {
    bool shown = false;
    double knobProportion = 0;
    double value = 0; // 0 to 1
};

struct CanvasGeometry {
    graphics::Rect superviewFrame;
    graphics::Size horizontalScroller; // length across, thickness up
    graphics::Size verticalScroller;   // thickness across, length up
    double widthMargin = 0;            // taken off both scrollers' lengths
    CanvasLayout layout;

    struct Validated {
        graphics::Rect realFrame; // rounded, centred along an axis without a scroller
        graphics::Rect frame;     // the visible part: the view's frame
        ScrollerState horizontal, vertical;
        bool squareShown = false;
        double bottom = 0; // the horizontal scroller's band when shown
    };

    // Fitting and centring happen in this area.
    graphics::Rect contentArea() const;
    Validated validateFrame(const graphics::Rect& realFrame) const;
    // The origin limited as the hand tool limits it, for an image of that size in that state.
    graphics::Point limitedOrigin(graphics::Point origin, const Validated& state) const;

    // Where a press on a scroller moves the image (its origin's x or y); none for parts that move
    // nothing. The knob's value runs from 0 at the left or top to 1 at the right or bottom.
    enum class ScrollerPart { Other, DecrementPage, Knob, IncrementPage };
    std::optional<double> horizontalScrolled(ScrollerPart part, double value, const Validated& state) const;
    std::optional<double> verticalScrolled(ScrollerPart part, double value, const Validated& state) const;
    // The origin moved by a trackpad scroll's deltas (points, y-up), along shown scrollers only.
    graphics::Point scrolledBy(double deltaX, double deltaY, const Validated& state) const;

    struct Zoom {
        double scale = 1;
        graphics::Rect realFrame;
    };
    // The image scaled to fit the area, never enlarged, centred (origin rounded).
    static Zoom zoomToFit(const graphics::Rect& area, const graphics::Size& image);
    // One photo pixel per point, at most 160,000,000 of them, about the frame's centre.
    static Zoom zoomToActualSize(const graphics::Rect& frame, const graphics::Size& image, double factor,
                                 const graphics::Size& photo);
    // The image at a new size with the point under the visible frame's centre kept there.
    static graphics::Rect zoomedAboutCentre(const graphics::Rect& frame, const graphics::Rect& realFrame,
                                            const graphics::Size& size);
};
