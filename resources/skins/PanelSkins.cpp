// Panels cut into nine parts (the adjustments panel, dialogs, the brush panel), the window's top
// bar pattern and the thin scroller. Each set is cut from one whole drawing so its parts join
// without a seam at any size.
#include "Skins.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skins {

namespace {

constexpr double kWhole = 40, kCorner = 12;

// The nine slices of a whole drawing `kWhole` square, written as "<prefix><column>_<row>" with
// the given names; corners `kCorner` square, edges and centre one point across.
void writeNineParts(const Write& write, const std::string (&names)[9], const Draw& whole) {
    const double starts[3] = {0, kWhole / 2, kWhole - kCorner}, sizes[3] = {kCorner, 1, kCorner};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const std::string& name = names[row * 3 + column];
            if (name.empty()) continue;
            const double x = starts[column], y = starts[row];
            write(name, QSizeF(sizes[column], sizes[row]), [x, y, whole](QPainter& painter, QSizeF) {
                painter.translate(-x, -y);
                whole(painter, QSizeF(kWhole, kWhole));
            });
        }
    }
}

// A raised dark panel with rounded corners, a thin outline and a faint top light.
Draw dialogPanel(QColor top, QColor bottom, QColor outline) {
    return [=](QPainter& painter, QSizeF size) {
        const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
        QLinearGradient shade(0, 0, 0, size.height());
        shade.setColorAt(0, top);
        shade.setColorAt(1, bottom);
        painter.setPen(QPen(outline, 1));
        painter.setBrush(shade);
        painter.drawRoundedRect(body, 8, 8);
        painter.setPen(QPen(theme::kEdgeLight, 1));
        painter.drawLine(QPointF(8, 1.5), QPointF(size.width() - 8, 1.5));
    };
}

// The adjustments panel: open to the right, where it meets the window's edge.
Draw adjustmentsPanel(bool separated) {
    return [separated](QPainter& painter, QSizeF size) {
        QPainterPath body;
        body.addRoundedRect(QRectF(0.5, 0.5, size.width() + 20, size.height() - 1), 8, 8);
        painter.setPen(QPen(theme::kOutline, 1));
        painter.setBrush(QColor(44, 44, 48));
        painter.drawPath(body);
        painter.setPen(QPen(separated ? QColor(255, 255, 255, 48) : theme::kEdgeLight, 1));
        painter.drawLine(QPointF(8, 1.5), QPointF(size.width(), 1.5));
        if (separated) {
            painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
            painter.drawLine(QPointF(8, 2.5), QPointF(size.width(), 2.5));
        }
    };
}

} // namespace

void writePanelSkins(const Write& write) {
    const std::string dialog[9] = {"dialog_left_top",    "dialog_center_top",    "dialog_right_top",
                                   "dialog_left_center", "dialog_center_center", "dialog_right_center",
                                   "dialog_left_bottom", "dialog_center_bottom", "dialog_right_bottom"};
    writeNineParts(write, dialog, dialogPanel(QColor(58, 58, 62), QColor(40, 40, 44), theme::kOutline));
    std::string jrvDialog[9];
    for (int i = 0; i < 9; ++i)
        jrvDialog[i] = "jrv_" + dialog[i];
    writeNineParts(write, jrvDialog, dialogPanel(QColor(40, 42, 46), QColor(28, 30, 34), QColor(12, 12, 14)));

    const std::string adjustments[9] = {"adj_left_top",    "adj_center_top",    "",
                                        "adj_left_center", "adj_center_center", "",
                                        "adj_left_bottom", "adj_center_bottm",  ""};
    writeNineParts(write, adjustments, adjustmentsPanel(false));
    const std::string adjustmentsTop[9] = {"adj_left_top_s", "adj_center_top_s", "", "", "", "", "", "", ""};
    writeNineParts(write, adjustmentsTop, adjustmentsPanel(true));

    // The brush panel: a flat strip with a lit left edge, the same on every row.
    write("drawing_left_center", QSizeF(kCorner, 1), [](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor(44, 44, 48));
        painter.fillRect(QRectF(0, 0, 1, size.height()), theme::kOutline);
        painter.fillRect(QRectF(1, 0, 1, size.height()), theme::kEdgeLight);
    });
    write("drawing_center_center", QSizeF(1, 1), [](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor(44, 44, 48));
    });

    // The window pattern: fine diagonal grain on a near-black ground.
    write("jrv_top_bar", QSizeF(6, 6), [](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor(30, 31, 34));
        painter.setPen(QPen(QColor(255, 255, 255, 10), 1));
        painter.drawLine(QPointF(0, 6), QPointF(6, 0));
    });

    // The scroller's knob, a light pill seven points thick, lying and standing.
    const auto knob = [](bool vertical, double from) -> Draw {
        return [vertical, from](QPainter& painter, QSizeF) {
            if (vertical) {
                painter.translate(7, 0);
                painter.rotate(90);
            }
            painter.translate(-from, 0);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(104, 110, 120));
            painter.drawRoundedRect(QRectF(0.5, 0.5, 19, 6), 3, 3);
        };
    };
    write("jrv_scroll_btn_left", QSizeF(4, 7), knob(false, 0));
    write("jrv_scroll_btn_center", QSizeF(1, 7), knob(false, 10));
    write("jrv_scroll_btn_right", QSizeF(4, 7), knob(false, 16));
    write("jrv_scroll_btn_top", QSizeF(7, 4), knob(true, 0));
    write("jrv_scroll_btn_center_vertical", QSizeF(7, 1), knob(true, 10));
    write("jrv_scroll_btn_bottom", QSizeF(7, 4), knob(true, 16));
    // The corner where the canvas's two scrollers meet, in their slot's colour.
    write("jrv_slider_square", QSizeF(18, 18), [](QPainter& painter, QSizeF size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor(18, 22, 27));
    });
}

} // namespace skins
