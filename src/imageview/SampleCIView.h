#pragma once
// A widget that shows one lazy image, mapping a virtual image rectangle (realFrame) onto the
// part of it the widget covers. Only dirty rectangles are repainted. Rendered pixels are kept in a
// display cache at the image's own resolution, renewed only where setImage says the picture
// changed, so a repaint is a scaled, premultiplied source-over copy of cached pixels.
// Geometry is y-up: frames in the parent's coordinates, rectangles in the view's own.
#include "platform/coreimage/Image.h"
#include "platform/graphics/Rect.h"

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <optional>

class SampleCIView : public QWidget {
    Q_OBJECT
  public:
    explicit SampleCIView(QWidget* parent = nullptr);

    const coreimage::ImagePtr& image() const { return _image; }
    // The whole view is dirty.
    void setImage(coreimage::ImagePtr image);
    // A different image is kept and the rectangle (view coordinates, y-up; infinite for all of the
    // view) repainted; the same image again does nothing.
    virtual void setImage(coreimage::ImagePtr image, const graphics::Rect& dirtyRect);

    // The image itself at exactly 1, else the image scaled uniformly.
    static coreimage::ImagePtr scaledImageFromImage(const coreimage::ImagePtr& image, double scale);

    // View points per image pixel.
    double scale() const { return _scale; }
    virtual void setScale(double scale) { _scale = scale; }

    // The view's rectangle in its parent, y-up (the parent's height, or its own without one).
    graphics::Rect frame() const;
    void setFrame(const graphics::Rect& frame);
    // The virtual rectangle the whole image maps onto, in the parent's coordinates.
    virtual graphics::Rect realFrame() const { return frame(); }

    // Image pixels shown in the visible rectangle (view coordinates): d = realFrame width per image
    // pixel, each edge rounded in single precision, then trimmed to the extent's right and top
    // edges. Nothing for a zero or non-finite d, an infinite extent, or nothing left.
    static std::optional<graphics::Rect> sourceRect(const graphics::Rect& realFrame,
                                                    const graphics::Rect& frame, const graphics::Rect& extent,
                                                    const graphics::Rect& visible);

    // Compares the drawable bounds (device pixels) with the last ones and, when they differ,
    // stores them and calls viewBoundsDidChange.
    void updateMatrices();

  protected:
    // Called when the drawable bounds (device pixels) change.
    virtual void viewBoundsDidChange(const graphics::Rect& bounds) { (void)bounds; }

    // Between the y-up model and Qt's rows, within this view.
    graphics::Rect toModel(const QRect& rect) const;
    QRectF toWidget(const graphics::Rect& rect) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Renders the cache's pixels of the rectangle (cache rows, top-down) that are not yet valid.
    void fillCache(const QRect& needed);

    coreimage::ImagePtr _image;
    graphics::Rect _lastBounds = graphics::Rect::null();
    double _scale = 1.0;
    // The image's pixels over its extent, top row first, and which of them are current.
    QImage _cache;
    QRegion _cacheValid;
};
