// The window backgrounds the user chooses from (seamless tiles), the welcome window's check mark
// and its page pictures.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace skins {

namespace {

// A seamless 24-point tile: a base grey with a faint woven grain, light and dark threads
// alternating so the pattern reads as cloth rather than noise.
Draw backgroundTile(QColor base) {
  return [base](QPainter& painter, QSizeF size) {
    painter.fillRect(QRectF(QPointF(0, 0), size), base);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor light(255, 255, 255, 10), dark(0, 0, 0, 18);
    for (int i = 0; i < int(size.width()); i += 2) {
      painter.fillRect(QRectF(i, 0, 1, size.height()), (i / 2) % 2 ? light : dark);
      painter.fillRect(QRectF(0, i + 1, size.width(), 0.5), (i / 2) % 2 ? dark : light);
    }
  };
}

// A simple picture for a welcome page: a framed photo with a glow in the page's colour.
Draw welcomePage(QColor accent, int motif) {
  return [accent, motif](QPainter& painter, QSizeF size) {
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, accent.darker(180));
    sky.setColorAt(1, QColor(24, 26, 30));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), size), 10, 10);
    const QRectF photo(size.width() * 0.22, size.height() * 0.18, size.width() * 0.56, size.height() * 0.64);
    painter.setBrush(QColor(236, 236, 238));
    painter.drawRect(photo.adjusted(-6, -6, 6, 6));
    QLinearGradient scene(photo.topLeft(), photo.bottomLeft());
    scene.setColorAt(0, accent.lighter(130));
    scene.setColorAt(1, accent.darker(160));
    painter.setBrush(scene);
    painter.drawRect(photo);
    painter.setBrush(QColor(255, 255, 255, 200));
    if (motif == 0) {  // a sun over hills
      painter.drawEllipse(QPointF(photo.right() - photo.width() * 0.25, photo.top() + photo.height() * 0.3), 14, 14);
    } else if (motif == 1) {  // a brush stroke
      QPainterPath stroke;
      stroke.moveTo(photo.left() + 20, photo.bottom() - 30);
      stroke.cubicTo(photo.center() + QPointF(-40, -60), photo.center() + QPointF(40, 60), photo.topRight() + QPointF(-20, 30));
      painter.setBrush(Qt::NoBrush);
      painter.setPen(QPen(QColor(255, 255, 255, 200), 8, Qt::SolidLine, Qt::RoundCap));
      painter.drawPath(stroke);
      painter.setPen(Qt::NoPen);
    } else {  // a crop frame
      painter.setBrush(Qt::NoBrush);
      painter.setPen(QPen(QColor(255, 255, 255, 220), 2, Qt::DashLine));
      painter.drawRect(photo.adjusted(photo.width() * 0.15, photo.height() * 0.15, -photo.width() * 0.15,
                                      -photo.height() * 0.15));
      painter.setPen(Qt::NoPen);
    }
    QPainterPath hills;
    hills.moveTo(photo.bottomLeft());
    hills.cubicTo(photo.left() + photo.width() * 0.3, photo.bottom() - photo.height() * 0.45,
                  photo.left() + photo.width() * 0.6, photo.bottom() - photo.height() * 0.1, photo.right(),
                  photo.bottom() - photo.height() * 0.3);
    hills.lineTo(photo.bottomRight());
    hills.closeSubpath();
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawPath(hills);
  };
}

}  // namespace

void writeWindowSkins(const Write& write) {
  write("back_dark_grey", QSizeF(24, 24), backgroundTile(QColor(22, 24, 28)));
  write("back_grey", QSizeF(24, 24), backgroundTile(QColor(46, 48, 52)));
  write("back_medium_grey", QSizeF(24, 24), backgroundTile(QColor(84, 86, 90)));
  write("back_light_grey", QSizeF(24, 24), backgroundTile(QColor(150, 152, 156)));

  write("ws_checkbox_tick", QSizeF(16, 16), [](QPainter& painter, QSizeF) {
    QPainterPath tick;
    tick.moveTo(3.5, 8.5);
    tick.lineTo(6.5, 11.5);
    tick.lineTo(12.5, 4.5);
    painter.setPen(QPen(theme::kAccent.lighter(120), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
  });

  const QColor accents[3] = {theme::kAccent, QColor(214, 120, 72), QColor(96, 176, 120)};
  for (int page = 0; page < 3; ++page)
    write("welcome_page_" + std::to_string(page + 1), QSizeF(420, 240), welcomePage(accents[page], page));
}

}  // namespace skins
