#pragma once
// A width and height; negative values are allowed and mean a rectangle drawn the other way.

namespace graphics {

struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(const Size&, const Size&) = default;
};

} // namespace graphics
