#pragma once
// Measuring text as the layouts need it: the size used by the text wrapped in a box of the given
// width and height. The empty line after a trailing newline does not count; empty text is 0 x 0.
#include <QFont>
#include <QSizeF>
#include <QString>

namespace TextGeometrics {

// The free dimension is the largest single-precision value.
inline constexpr float kUnbounded = 3.4028235e38f;

QSizeF sizeForWidth(const QString& text, const QFont& font, float width, float height);
inline double heightForWidth(const QString& text, const QFont& font, float width) {
    return sizeForWidth(text, font, width, kUnbounded).height();
}
inline double widthForHeight(const QString& text, const QFont& font, float height) {
    return sizeForWidth(text, font, kUnbounded, height).width();
}

} // namespace TextGeometrics
