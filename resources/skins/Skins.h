#pragma once
// The interface's skins, drawn in code at 1x and 2x into the main bundle: one dark theme of
// neutral greys with one accent colour. Each family hands its drawings to `Write`.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <functional>
#include <string>

namespace skins {

// Draws one skin into a painter scaled to points; `size` is in points.
using Draw = std::function<void(QPainter&, QSizeF size)>;
// Writes "<name>.png" and "<name>@2x.png".
using Write = std::function<void(const std::string& name, QSizeF size, const Draw& draw)>;

namespace theme {
inline const QColor kAccent(72, 148, 232);
inline const QColor kHandleLight(236, 236, 238);
inline const QColor kHandleDark(168, 168, 172);
inline const QColor kOutline(22, 22, 24);
inline const QColor kRaisedTop(84, 84, 88);
inline const QColor kRaisedBottom(58, 58, 62);
inline const QColor kEdgeLight(255, 255, 255, 28);
} // namespace theme

void writeLevelsSkins(const Write& write);
void writeButtonSkins(const Write& write);
void writeTextFieldSkins(const Write& write);
void writeSliderSkins(const Write& write);
void writeToolbarSkins(const Write& write);
void writeCursorSkins(const Write& write);
void writePanelSkins(const Write& write);
void writeDialogSkins(const Write& write);
void writeBrowserSkins(const Write& write);
void writeCropSkins(const Write& write);
void writeWindowSkins(const Write& write);

// The application's icon, `pixels` square.
QImage applicationIcon(int pixels);
// The sizes a desktop's icon theme holds it at.
inline constexpr int kApplicationIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

} // namespace skins
