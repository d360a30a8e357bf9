// The mask canvas of painter mode over the photo: an effect painted in through the mask, and the
// same mask shown as the red overlay.
#include "UiSheetRegistry.h"
#include "controls/ImageAdditional.h"
#include "imageview/CIMicroPaintView.h"

#include <QPainter>
#include <QRadialGradient>

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

// A soft painted band across the picture and a hard round patch, as brush strokes leave them.
coreimage::ImagePtr paintedMask(QSize size) {
  QImage mask(size, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::black);
  QPainter p(&mask);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = size.width(), h = size.height();
  QRadialGradient soft(QPointF(w * 0.3, h * 0.45), h * 0.35);
  soft.setColorAt(0, Qt::white);
  soft.setColorAt(0.6, QColor(200, 200, 200));
  soft.setColorAt(1, Qt::black);
  p.setPen(Qt::NoPen);
  p.setBrush(soft);
  p.drawEllipse(QPointF(w * 0.3, h * 0.45), h * 0.35, h * 0.35);
  p.setBrush(QColor(160, 160, 160));
  p.drawEllipse(QPointF(w * 0.75, h * 0.7), h * 0.15, h * 0.15);
  p.end();
  return coreimage::Image::imageWithCGImage(ImageAdditional::fromQImage(mask));
}

std::unique_ptr<QWidget> canvasOverPhoto(const QImage& photo, bool overlay) {
  const QSize size = photo.size().scaled(720, 540, Qt::KeepAspectRatio);
  auto canvas = std::make_unique<CIMicroPaintView>(graphics::Rect(0, 0, size.width(), size.height()),
                                                   ImageAdditional::fromQImage(toned(photo)),
                                                   ImageAdditional::fromQImage(photo));
  canvas->updateMatrices();
  const coreimage::ImagePtr working = canvas->imageA();
  canvas->setScale(size.width() / working->extent().width());
  canvas->applyMask(paintedMask(QSize(int(working->extent().width()), int(working->extent().height()))));
  canvas->setShowMask(overlay);
  return canvas;
}

}  // namespace

OPALENE_UISHEET_STATE("mask_canvas_painted", [](const QImage& photo) { return canvasOverPhoto(photo, false); });
OPALENE_UISHEET_STATE("mask_canvas_overlay", [](const QImage& photo) { return canvasOverPhoto(photo, true); });
