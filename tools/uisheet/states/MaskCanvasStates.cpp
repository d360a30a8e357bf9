// The mask canvas of painter mode over the photo: an effect painted in through the mask, and the
// same mask shown as the red overlay.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "controls/KXScroller.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/DrawingToolbarControllerDelegate.h"

#include <vector>

namespace {

// A stand-in for an effect: the photo in cold blue monochrome, plain to tell from the photo.
QImage toned(const QImage& photo) {
    QImage out = photo.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = qGray(row[x]);
            row[x] = qRgb(g * 2 / 5, g * 3 / 4, std::min(255, g + 40));
        }
    }
    return out;
}

// Brush strokes as a user paints them: a soft wide sweep over the face and shoulders, a hard
// half-opacity patch lower right, and an erasing stroke through the sweep.
void paintStrokes(CIMicroPaintView& canvas, QSizeF view) {
    const auto drag = [&](std::vector<QPointF> points) {
        canvas.mouseDown(graphics::Point{points[0].x() * view.width(), points[0].y() * view.height()}, 1);
        for (size_t i = 1; i < points.size(); ++i)
            canvas.mouseDragged(graphics::Point{points[i].x() * view.width(), points[i].y() * view.height()},
                                1);
        canvas.mouseUp();
    };
    canvas.setBrushSize(90);
    canvas.setBrushSoftness(100);
    canvas.setBrushOpacity(1);
    drag({{0.25, 0.75}, {0.35, 0.8}, {0.45, 0.72}, {0.5, 0.6}, {0.4, 0.5}, {0.3, 0.45}});
    canvas.setBrushSize(60);
    canvas.setBrushSoftness(5);
    canvas.setBrushOpacity(0.5);
    drag({{0.7, 0.3}, {0.8, 0.32}, {0.85, 0.22}});
    canvas.setEraseMask(true);
    canvas.setBrushSize(30);
    canvas.setBrushOpacity(1);
    drag({{0.3, 0.62}, {0.5, 0.66}});
    canvas.setEraseMask(false);
}

std::unique_ptr<QWidget> canvasOverPhoto(const QImage& photo, bool overlay) {
    const QSize size = photo.size().scaled(720, 540, Qt::KeepAspectRatio);
    auto canvas = std::make_unique<CIMicroPaintView>(graphics::Rect(0, 0, size.width(), size.height()),
                                                     ImageAdditional::fromQImage(toned(photo)),
                                                     ImageAdditional::fromQImage(photo));
    canvas->updateMatrices();
    const coreimage::ImagePtr working = canvas->imageA();
    canvas->setScale(size.width() / working->extent().width());
    paintStrokes(*canvas, QSizeF(size));
    canvas->setShowMask(overlay);
    return canvas;
}

} // namespace

OPALENE_UISHEET_STATE("mask_canvas_painted",
                      [](const QImage& photo) { return canvasOverPhoto(photo, false); });
OPALENE_UISHEET_STATE("mask_canvas_overlay",
                      [](const QImage& photo) { return canvasOverPhoto(photo, true); });

namespace {

// The toolbar's delegate on the sheet: previews come from a canvas, the rest is not needed.
struct SheetToolbarDelegate : DrawingToolbarControllerDelegate {
    std::unique_ptr<CIMicroPaintView> canvas;
    void applyButtonDidClick(DrawingToolbarController*) override {}
    void cancelButtonDidClick(DrawingToolbarController*) override {}
    void invertMaskForDrawingToolbarController(DrawingToolbarController*) override {}
    void showMask(DrawingToolbarController*, bool) override {}
    void eraseMask(DrawingToolbarController*, bool) override {}
    void moveImage(DrawingToolbarController*, bool) override {}
    void clearMaskForDrawingToolbarController(DrawingToolbarController*) override {}
    void brushSizeDidChange(DrawingToolbarController*, double) override {}
    void softnessDidChange(DrawingToolbarController*, double) override {}
    void opacityDidChange(DrawingToolbarController*, double) override {}
    graphics::ImagePtr previewImageForDrawingToolbarController(DrawingToolbarController*, QSize size,
                                                               double brushSize, double softness,
                                                               double opacity) override {
        return canvas->previewImageWithSize(size, brushSize, softness, opacity);
    }
    void applyMask(DrawingToolbarController*, coreimage::ImagePtr) override {}
};

std::unique_ptr<QWidget> toolbarBesideCanvas(const QImage& photo, int preset) {
    auto host = canvasOverPhoto(photo, false);
    auto* toolbar = new DrawingToolbarController(host.get());
    static SheetToolbarDelegate delegate;
    delegate.canvas = std::make_unique<CIMicroPaintView>(graphics::Rect(0, 0, 8, 8),
                                                         ImageAdditional::fromQImage(photo.scaled(8, 8)),
                                                         ImageAdditional::fromQImage(photo.scaled(8, 8)));
    toolbar->setDelegate(&delegate);
    if (preset >= 0) toolbar->presetButtonClick(toolbar->presetButton(preset));
    toolbar->move(host->width() - toolbar->width() - 12, 12);
    return host;
}

} // namespace

OPALENE_UISHEET_STATE("mask_brush_toolbar",
                      [](const QImage& photo) { return toolbarBesideCanvas(photo, -1); });
OPALENE_UISHEET_STATE("mask_brush_toolbar_soft_preset",
                      [](const QImage& photo) { return toolbarBesideCanvas(photo, 4); });

namespace {

// The canvas zoomed in past the window in the painter's layout: the photo clipped to the area left
// of the toolbar's column, both scrollers showing where the visible part lies, the square between.
std::unique_ptr<QWidget> zoomedWithScrollers(const QImage& photo) {
    constexpr int W = 1000, H = 700, toolbar = 309;
    auto window = std::make_unique<QWidget>();
    window->resize(W, H);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(38, 41, 46));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    auto* horizontal = new KXScroller(window.get());
    horizontal->setGeometry(0, H - 18, W - toolbar - 14, 18);
    auto* vertical = new KXScroller(window.get());
    vertical->setGeometry(W - toolbar - 18, 49, 18, H - 49 - 14);
    auto* square = new QWidget(window.get());
    square->setGeometry(W - toolbar - 15, H - 15, 15, 15);
    QPalette dark = square->palette();
    dark.setColor(QPalette::Window, QColor(18, 22, 27));
    square->setPalette(dark);
    square->setAutoFillBackground(true);
    auto* canvas =
        new CIMicroPaintView(graphics::Rect(0, 0, 100, 100), ImageAdditional::fromQImage(toned(photo)),
                             ImageAdditional::fromQImage(photo), window.get());
    canvas->setControlVerticalScroller(vertical, horizontal, square);
    canvas->updateMatrices();
    canvas->zoomToFitRect(graphics::Rect(0, 0, 0, 0));
    paintStrokes(*canvas, QSizeF(canvas->width(), canvas->height()));
    for (int i = 0; i < 4; ++i)
        canvas->zoomIn();
    // Moved a little with the hand, so the knobs stand away from the middle.
    horizontal->raise();
    vertical->raise();
    square->raise();
    canvas->setMoveImage(true);
    canvas->mouseDown(graphics::Point{300, 300}, 1);
    canvas->mouseDragged(graphics::Point{150, 340}, 1);
    canvas->mouseUp();
    canvas->setMoveImage(false);
    return window;
}

} // namespace

OPALENE_UISHEET_STATE("mask_canvas_zoomed_scrollers", zoomedWithScrollers);
