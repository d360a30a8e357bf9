// The editor's side panels over the photo.
#include "UiSheetRegistry.h"
#include "controls/KXButton.h"
#include "editor/FilterToolbarViewController.h"
#include "engine/PostProcessParameter.h"

#include <QLabel>
#include <QPainter>

namespace {

// Parameters outlive the sheet's widgets.
PostProcessParameter& amount() {
  static PostProcessParameter parameter("Amount", 0, 100, 40);
  return parameter;
}
PostProcessParameter& softness() {
  static PostProcessParameter parameter("Softness", 0, 1, 0.7);
  return parameter;
}

std::unique_ptr<QWidget> toolbarOverPhoto(const QImage& photo, bool two, bool collapsed) {
  auto host = std::make_unique<QLabel>();
  host->resize(560, 300);
  host->setPixmap(QPixmap::fromImage(photo.scaled(host->size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)));
  auto* toolbar = new FilterToolbarViewController(host.get());
  toolbar->setParam1(&amount());
  if (two) toolbar->setParam2(&softness());
  toolbar->setTitle("Pencil Sketch");
  toolbar->updateSlidersParams();
  toolbar->validateSlidersAnimated(false);
  toolbar->move(host->width() - toolbar->width() - 12, 12);
  if (collapsed) {
    toolbar->smallSizeButton()->setState(1);
    toolbar->smallSizeClick(nullptr);
  }
  return host;
}

}  // namespace

OPALENE_UISHEET_STATE("parameter_toolbar_two_sliders", [](const QImage& photo) { return toolbarOverPhoto(photo, true, false); });
OPALENE_UISHEET_STATE("parameter_toolbar_one_slider", [](const QImage& photo) { return toolbarOverPhoto(photo, false, false); });
OPALENE_UISHEET_STATE("parameter_toolbar_collapsed", [](const QImage& photo) { return toolbarOverPhoto(photo, true, true); });
