#include "platform/coreimage/FilterValue.h"

namespace coreimage {

namespace {
template <typename T> std::optional<T> get(const FilterValue& v) {
    if (const T* p = std::get_if<T>(&v)) return *p;
    return std::nullopt;
}
} // namespace

ImagePtr asImage(const FilterValue& v) {
    const ImagePtr* p = std::get_if<ImagePtr>(&v);
    return p ? *p : nullptr;
}

std::optional<double> asNumber(const FilterValue& v) {
    return get<double>(v);
}
std::optional<Vector> asVector(const FilterValue& v) {
    return get<Vector>(v);
}
std::optional<graphics::Color> asColor(const FilterValue& v) {
    return get<graphics::Color>(v);
}
std::optional<graphics::AffineTransform> asTransform(const FilterValue& v) {
    return get<graphics::AffineTransform>(v);
}

std::optional<graphics::Rect> asRect(const FilterValue& v) {
    if (auto r = get<graphics::Rect>(v)) return r;
    if (const Vector* p = std::get_if<Vector>(&v); p && p->count == 4)
        return graphics::Rect(p->x(), p->y(), p->z(), p->w());
    return std::nullopt;
}

} // namespace coreimage
