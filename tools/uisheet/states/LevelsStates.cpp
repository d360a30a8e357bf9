// The levels control over the photo's histogram, on a dark panel as the adjustments toolbar shows it.
#include "UiSheetRegistry.h"
#include "editor/HistogramSlider.h"
#include "editor/HistogramView.h"

namespace {

std::unique_ptr<QWidget> levelsOnPhoto(const QImage& photo, double black, double white) {
    auto panel = std::make_unique<QWidget>();
    panel->resize(354, 100);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(38, 38, 40));
    panel->setPalette(palette);
    auto* slider = new HistogramSlider(QRectF(20, 20, 314, 60), panel.get());
    HistogramView::Table lum(256, 0), red(256, 0), green(256, 0), blue(256, 0);
    const QImage rgb = photo.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            ++red[qRed(row[x])];
            ++green[qGreen(row[x])];
            ++blue[qBlue(row[x])];
            ++lum[qGray(row[x])];
        }
    }
    HistogramView* view = slider->histogram_view();
    view->setRedHistogram(red);
    view->setGreenHistogram(green);
    view->setBlueHistogram(blue);
    view->setHistogram(lum);
    slider->setValue(white, 1, false);
    slider->setValue(black, 0, false);
    slider->setValue((black + white) / 2, 2, false);
    return panel;
}

} // namespace

OPALENE_UISHEET_STATE("levels_histogram_rest",
                      [](const QImage& photo) { return levelsOnPhoto(photo, 5, 294); });
OPALENE_UISHEET_STATE("levels_histogram_moved",
                      [](const QImage& photo) { return levelsOnPhoto(photo, 60, 230); });
