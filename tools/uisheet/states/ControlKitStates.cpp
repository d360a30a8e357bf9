// Control kit pieces on a dark panel, as the editor's toolbars show them.
#include "UiSheetRegistry.h"
#include "controls/KXButton.h"

namespace {

std::unique_ptr<QWidget> darkPanel(QSize size) {
  auto panel = std::make_unique<QWidget>();
  panel->resize(size);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, QColor(38, 38, 40));
  panel->setPalette(palette);
  return panel;
}

KXButton* button(QWidget* parent, QRect frame, const char* title) {
  auto* b = new KXButton(parent);
  b->setGeometry(frame);
  b->setTitle(title);
  return b;
}

}  // namespace

OPALENE_UISHEET_STATE("buttons_states", [](const QImage&) {
  auto panel = darkPanel(QSize(360, 120));
  button(panel.get(), QRect(20, 20, 100, 24), "Apply");
  button(panel.get(), QRect(140, 20, 100, 24), "Cancel")->setEnabled(false);
  KXButton* menu = button(panel.get(), QRect(20, 70, 160, 24), "All Effects");
  menu->setDropDown(true);
  button(panel.get(), QRect(200, 70, 140, 24), "Save As...");
  return panel;
});
