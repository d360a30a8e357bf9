// The window backgrounds the user chooses from (seamless tiles), the welcome window's check mark
// and its page pictures, which show the editor doing what each page says.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cstdint>

namespace skins {

namespace {

// A seamless 24-point tile: a base grey with a fine, even grain, one speck per device pixel, so the
// ground behind a photo reads as a surface without lines or plaid that compete with the picture.
// The grain comes from a fixed sequence: the same build writes the same pixels.
Draw backgroundTile(QColor base) {
    return [base](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), base);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const double pixel = 1 / painter.deviceTransform().m11();
        uint32_t state = 0x9E3779B9u;
        for (double y = 0; y < size.height(); y += pixel) {
            for (double x = 0; x < size.width(); x += pixel) {
                state ^= state << 13, state ^= state >> 17, state ^= state << 5;
                const int speck = int(state >> 29) - 4; // -4 .. 3
                if (speck == 0) continue;
                painter.fillRect(QRectF(x, y, pixel, pixel),
                                 speck > 0 ? QColor(255, 255, 255, 2 * speck) : QColor(0, 0, 0, 3 * -speck));
            }
        }
    };
}

// A colour of the sample photo as one of the looks shows it: 0 as taken, 1 black and white,
// 2 sepia, 3 cool, 4 warm and vivid, 5 faded.
QColor inLook(QColor c, int look) {
    const double grey = 0.3 * c.red() + 0.59 * c.green() + 0.11 * c.blue();
    const auto mix = [](double a, double b, double t) {
        return int(std::clamp(a + (b - a) * t, 0.0, 255.0));
    };
    switch (look) {
    case 1:
        return QColor(int(grey), int(grey), int(grey));
    case 2:
        return QColor(mix(grey, grey * 1.12 + 18, 1), mix(grey, grey * 0.98 + 6, 1),
                      mix(grey, grey * 0.78, 1));
    case 3:
        return QColor(mix(c.red(), grey, 0.3) * 85 / 100, mix(c.green(), grey, 0.3),
                      std::min(255, c.blue() * 115 / 100 + 12));
    case 4:
        return QColor(std::min(255, c.red() * 120 / 100 + 10), mix(grey, c.green(), 1.25),
                      mix(grey, c.blue(), 1.1) * 85 / 100);
    case 5:
        return QColor(mix(c.red(), 200, 0.35), mix(c.green(), 196, 0.35), mix(c.blue(), 188, 0.35));
    default:
        return c;
    }
}

// The sample photo: a lake under mountains at dusk, drawn into `frame` in the given look.
void samplePhoto(QPainter& painter, const QRectF& frame, int look) {
    painter.save();
    painter.setClipRect(frame, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setPen(Qt::NoPen);
    const auto at = [&](double x, double y) {
        return QPointF(frame.left() + x * frame.width(), frame.top() + y * frame.height());
    };
    QLinearGradient sky(at(0, 0), at(0, 0.62));
    sky.setColorAt(0, inLook(QColor(58, 92, 150), look));
    sky.setColorAt(0.7, inLook(QColor(226, 150, 110), look));
    sky.setColorAt(1, inLook(QColor(246, 204, 140), look));
    painter.fillRect(frame, sky);
    painter.setBrush(inLook(QColor(255, 236, 190), look));
    painter.drawEllipse(at(0.7, 0.5), frame.width() * 0.06, frame.width() * 0.06);
    const auto ridge = [&](QColor colour, double base, std::initializer_list<QPointF> peaks) {
        QPainterPath path(at(0, base));
        for (const QPointF& p : peaks)
            path.lineTo(at(p.x(), p.y()));
        path.lineTo(at(1, base));
        path.lineTo(at(1, 1));
        path.lineTo(at(0, 1));
        path.closeSubpath();
        painter.setBrush(inLook(colour, look));
        painter.drawPath(path);
    };
    ridge(QColor(96, 88, 120), 0.5,
          {{0.12, 0.34}, {0.28, 0.46}, {0.45, 0.28}, {0.62, 0.48}, {0.8, 0.36}, {0.92, 0.44}});
    ridge(QColor(52, 52, 74), 0.62, {{0.18, 0.5}, {0.35, 0.6}, {0.55, 0.46}, {0.75, 0.6}, {0.9, 0.54}});
    QLinearGradient water(at(0, 0.64), at(0, 1));
    water.setColorAt(0, inLook(QColor(214, 150, 120), look));
    water.setColorAt(1, inLook(QColor(40, 60, 100), look));
    painter.fillRect(QRectF(at(0, 0.64), at(1, 1)), water);
    painter.setBrush(inLook(QColor(255, 236, 190, 150), look));
    painter.drawRect(QRectF(at(0.66, 0.68), at(0.74, 0.7)));
    painter.drawRect(QRectF(at(0.68, 0.74), at(0.72, 0.755)));
    painter.restore();
}

// The window the pages show: a dark editor with its top bar of buttons.
void editorWindow(QPainter& painter, QSizeF size) {
    painter.setPen(QPen(theme::kOutline, 1));
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, QColor(40, 42, 47));
    ground.setColorAt(1, QColor(26, 27, 31));
    painter.setBrush(ground);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 10, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 14));
    painter.drawRect(QRectF(1, 24, size.width() - 2, 1));
    for (int i = 0; i < 5; ++i) {
        painter.setBrush(i == 1 ? theme::kAccent : QColor(72, 74, 80));
        painter.drawRoundedRect(QRectF(14 + i * 40, 7, 34, 11), 4, 4);
    }
}

// A welcome page: the editor as the page's text describes it.
// 0: a photo and, along the bottom, thumbnails of it in other looks, one chosen.
// 1: a look tuned with two sliders and painted onto part of the photo with a brush.
// 2: the photo turned and cropped, the crop frame with its thirds, and a stack of looks.
Draw welcomePage(int page) {
    return [page](QPainter& painter, QSizeF size) {
        editorWindow(painter, size);
        const QColor frame(12, 12, 14);
        if (page == 0) {
            const QRectF photo(110, 34, 200, 130);
            painter.fillRect(photo.adjusted(-1, -1, 1, 1), frame);
            samplePhoto(painter, photo, 4);
            for (int i = 0; i < 6; ++i) {
                const QRectF thumb(24 + i * 63, 180, 54, 40);
                painter.fillRect(thumb.adjusted(-1, -1, 1, 1), frame);
                samplePhoto(painter, thumb, i);
                if (i == 4) {
                    painter.setPen(QPen(theme::kAccent, 2));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRoundedRect(thumb.adjusted(-3, -3, 3, 3), 3, 3);
                    painter.setPen(Qt::NoPen);
                }
            }
        } else if (page == 1) {
            const QRectF photo(20, 36, 270, 180);
            painter.fillRect(photo.adjusted(-1, -1, 1, 1), frame);
            samplePhoto(painter, photo, 0);
            // The look shows where the brush has painted it in.
            QPainterPath painted;
            painted.moveTo(photo.left(), photo.top());
            painted.lineTo(photo.left() + 150, photo.top());
            painted.cubicTo(photo.left() + 110, photo.top() + 70, photo.left() + 170, photo.top() + 120,
                            photo.left() + 120, photo.bottom());
            painted.lineTo(photo.bottomLeft());
            painted.closeSubpath();
            painter.save();
            painter.setClipPath(painted);
            samplePhoto(painter, photo, 2);
            painter.restore();
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(255, 255, 255, 230), 1.5));
            painter.drawEllipse(QPointF(photo.left() + 150, photo.top() + 96), 16, 16);
            painter.setPen(Qt::NoPen);
            const QRectF panel(302, 36, 104, 180);
            painter.setBrush(QColor(48, 50, 55));
            painter.drawRoundedRect(panel, 6, 6);
            for (int i = 0; i < 2; ++i) {
                const double y = panel.top() + 40 + i * 48, knob = panel.left() + (i ? 64 : 38);
                painter.setBrush(QColor(86, 88, 94));
                painter.drawRoundedRect(QRectF(panel.left() + 12, y - 2, panel.width() - 24, 4), 2, 2);
                painter.setBrush(theme::kAccent);
                painter.drawRoundedRect(QRectF(panel.left() + 12, y - 2, knob - panel.left() - 12, 4), 2, 2);
                painter.setBrush(theme::kHandleLight);
                painter.drawEllipse(QPointF(knob, y), 6, 6);
            }
            painter.setBrush(theme::kAccent.darker(115));
            painter.drawRoundedRect(QRectF(panel.left() + 12, panel.bottom() - 34, panel.width() - 24, 20), 5,
                                    5);
        } else {
            const QRectF photo(-120, -72, 240, 144);
            painter.save();
            painter.translate(170, 126);
            painter.rotate(-6);
            painter.fillRect(photo.adjusted(-1, -1, 1, 1), frame);
            samplePhoto(painter, photo, 3);
            painter.restore();
            const QRectF crop(84, 66, 172, 112);
            painter.setBrush(QColor(0, 0, 0, 110));
            QPainterPath outside;
            outside.addRect(QRectF(20, 32, 300, 190));
            outside.addRect(crop);
            painter.drawPath(outside);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
            for (int i = 1; i < 3; ++i) {
                painter.drawLine(QPointF(crop.left() + crop.width() * i / 3, crop.top()),
                                 QPointF(crop.left() + crop.width() * i / 3, crop.bottom()));
                painter.drawLine(QPointF(crop.left(), crop.top() + crop.height() * i / 3),
                                 QPointF(crop.right(), crop.top() + crop.height() * i / 3));
            }
            painter.setPen(QPen(Qt::white, 1.5));
            painter.drawRect(crop);
            painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap));
            for (const QPointF& corner :
                 {crop.topLeft(), crop.topRight(), crop.bottomLeft(), crop.bottomRight()}) {
                const double dx = corner.x() < crop.center().x() ? 10 : -10,
                             dy = corner.y() < crop.center().y() ? 10 : -10;
                painter.drawLine(corner, corner + QPointF(dx, 0));
                painter.drawLine(corner, corner + QPointF(0, dy));
            }
            painter.setPen(Qt::NoPen);
            // The stack of looks, the newest on top.
            for (int i = 0; i < 3; ++i) {
                const QRectF card(336 + i * 6, 150 - i * 30, 56, 38);
                painter.fillRect(card.adjusted(-1, -1, 1, 1), frame);
                samplePhoto(painter, card, i == 2 ? 3 : i + 1);
            }
        }
    };
}

} // namespace

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

    for (int page = 0; page < 3; ++page)
        write("welcome_page_" + std::to_string(page + 1), QSizeF(420, 240), welcomePage(page));
}

} // namespace skins
