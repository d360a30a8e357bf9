// Control kit pieces on a dark panel, as the editor's toolbars show them.
#include "UiSheetRegistry.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXSlider.h"
#include "controls/VQTextView.h"

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

OPALENE_UISHEET_STATE("text_fields", [](const QImage&) {
  auto panel = darkPanel(QSize(360, 150));
  auto* name = new VQTextView(panel.get());
  name->setGeometry(20, 20, 200, 23);
  name->setStyle(VQTextViewRules::kPresetName);
  name->setText("Warm evening");
  auto* search = new VQTextView(panel.get());
  search->setGeometry(20, 60, 220, 23);
  search->setStyle(VQTextViewRules::kSearch);
  search->setText("sketch");
  auto* width = new VQTextView(panel.get());
  width->setGeometry(20, 100, 70, 23);
  width->setStyle(VQTextViewRules::kBoundedInteger);
  width->setStartIntValue(1920);
  auto* emptySearch = new VQTextView(panel.get());
  emptySearch->setGeometry(120, 100, 200, 23);
  emptySearch->setStyle(VQTextViewRules::kSearch);
  return panel;
});

OPALENE_UISHEET_STATE("sliders", [](const QImage&) {
  auto panel = darkPanel(QSize(360, 170));
  const double values[] = {0.0, 0.57, 1.0};
  for (int i = 0; i < 3; ++i) {
    auto* s = new KXSlider(panel.get());
    s->setGeometry(20, 15 + i * 30, 260, 20);
    s->setValueTextFieldWidthNumber(40);
    s->validateSlider();
    s->setDoubleValue(values[i]);
  }
  for (int i = 0; i < 2; ++i) {
    auto* caption = new QLabel(panel.get());
    caption->setGeometry(290, 110 + i * 28, 50, 16);
    caption->setStyleSheet("color: rgb(200,200,200)");
    auto* s = new KXJRVSlider(panel.get());
    s->setGeometry(20, 110 + i * 28, 260, 16);
    s->setJrvValueLabel(caption);
    s->validateSlider();
    s->setDoubleValue(i == 0 ? 0.3 : 0.85);
  }
  return panel;
});
