// opalene_skins <bundle folder>: draws every skin the interface looks up by name, at 1x and 2x,
// into the bundle folder. The same build writes the same pixels on any machine.
#include "Skins.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <bundle folder>\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  int failures = 0;
  const skins::Write write = [&](const std::string& name, QSizeF size, const skins::Draw& draw) {
    for (int scale : {1, 2}) {
      QImage image((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter, size);
      }
      const QString file = folder + "/" + QString::fromStdString(name) + (scale == 2 ? "@2x.png" : ".png");
      if (!image.save(file)) {
        std::fprintf(stderr, "opalene_skins: cannot write %s\n", file.toLocal8Bit().constData());
        ++failures;
      }
    }
  };
  skins::writeLevelsSkins(write);
  skins::writeButtonSkins(write);
  skins::writeTextFieldSkins(write);
  skins::writeSliderSkins(write);
  skins::writeToolbarSkins(write);
  skins::writeCursorSkins(write);
  skins::writePanelSkins(write);
  skins::writeDialogSkins(write);
  skins::writeBrowserSkins(write);
  skins::writeCropSkins(write);
  skins::writeWindowSkins(write);
  return failures == 0 ? 0 : 1;
}
