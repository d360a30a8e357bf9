#pragma once
// A fill colour: sRGB components and alpha in 0..1, not premultiplied.

namespace graphics {

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

} // namespace graphics
