#include "platform/coreimage/BuiltinFilters.h"

#include "platform/coreimage/BuiltinKernels.h"
#include "platform/coreimage/Kernel.h"
#include "platform/coreimage/PixellateImage.h"

#include <cmath>
#include <utility>

namespace coreimage {

namespace {

using graphics::Rect;

struct Input {
    const char* key;
    const char* type;
    FilterValue defaultValue;
};

struct Description {
    const char* name;
    const char* displayName;
    std::vector<Input> inputs;
    ImagePtr (*output)(const Filter& f);
};

ImagePtr image(const Filter& f, const char* key) {
    return asImage(f.value(key));
}

ImagePtr colorMatrix(const Filter& f) {
    static const Kernel kernel("CIColorMatrix", colorMatrixRow);
    const ImagePtr in = image(f, "inputImage");
    std::vector<FilterValue> arguments{in};
    for (const char* key :
         {"inputRVector", "inputGVector", "inputBVector", "inputAVector", "inputBiasVector"}) {
        const auto v = asVector(f.value(key));
        if (!v) return nullptr;
        arguments.push_back(*v);
    }
    if (!in) return nullptr;
    // A transparent pixel gets the bias alpha, so an alpha bias colours the whole plane.
    const bool fillsPlane = std::get<Vector>(arguments.back()).w() != 0;
    return kernel.apply(fillsPlane ? Rect::infinite() : in->extent(), arguments);
}

ImagePtr affineTransform(const Filter& f) {
    const ImagePtr in = image(f, "inputImage");
    const auto t = asTransform(f.value("inputTransform"));
    return in && t ? in->imageByApplyingTransform(*t) : nullptr;
}

ImagePtr crop(const Filter& f) {
    const ImagePtr in = image(f, "inputImage");
    const auto r = asRect(f.value("inputRectangle"));
    return in && r ? in->imageByCroppingToRect(*r) : nullptr;
}

ImagePtr blendWithMask(const Filter& f) {
    static const Kernel kernel("CIBlendWithMask", blendWithMaskRow);
    const ImagePtr fg = image(f, "inputImage"), bg = image(f, "inputBackgroundImage"),
                   mask = image(f, "inputMaskImage");
    if (!fg || !bg || !mask) return nullptr;
    // Outside the mask m is 0 and only the background shows.
    const Rect extent = fg->extent().intersection(mask->extent()).unionWith(bg->extent());
    return kernel.apply(extent, {fg, bg, mask});
}

ImagePtr sourceIn(const Filter& f) {
    static const Kernel kernel("CISourceInCompositing", sourceInRow);
    const ImagePtr src = image(f, "inputImage"), dst = image(f, "inputBackgroundImage");
    if (!src || !dst) return nullptr;
    return kernel.apply(src->extent().intersection(dst->extent()), {src, dst});
}

ImagePtr sourceOver(const Filter& f) {
    static const Kernel kernel("CISourceOverCompositing", sourceOverRow);
    const ImagePtr src = image(f, "inputImage"), dst = image(f, "inputBackgroundImage");
    if (!src || !dst) return nullptr;
    return kernel.apply(src->extent().unionWith(dst->extent()), {src, dst});
}

ImagePtr constantColor(const Filter& f) {
    const auto c = asColor(f.value("inputColor"));
    return c ? Image::imageWithColor(*c) : nullptr;
}

ImagePtr colorInvert(const Filter& f) {
    static const Kernel kernel("CIColorInvert", colorInvertRow);
    const ImagePtr in = image(f, "inputImage");
    return in ? kernel.apply(in->extent(), {in}) : nullptr;
}

ImagePtr pixellate(const Filter& f) {
    const ImagePtr in = image(f, "inputImage");
    const auto center = asVector(f.value("inputCenter"));
    const auto scale = asNumber(f.value("inputScale"));
    if (!in || !center || !scale) return nullptr;
    // Cells need a size and a place: no output for a scale of zero or less, or a centre at
    // infinity, rather than a division by zero.
    if (!(*scale > 0) || !std::isfinite(*scale) || !std::isfinite(center->x()) || !std::isfinite(center->y()))
        return nullptr;
    return std::make_shared<PixellateImage>(in, graphics::Point{center->x(), center->y()}, *scale);
}

const std::vector<Description>& descriptions() {
    static const std::vector<Description> table = {
        {"CIColorMatrix",
         "Color Matrix",
         {{"inputImage", kCIAttributeTypeImage, {}},
          {"inputRVector", kCIAttributeTypeVector, Vector(1, 0, 0, 0)},
          {"inputGVector", kCIAttributeTypeVector, Vector(0, 1, 0, 0)},
          {"inputBVector", kCIAttributeTypeVector, Vector(0, 0, 1, 0)},
          {"inputAVector", kCIAttributeTypeVector, Vector(0, 0, 0, 1)},
          {"inputBiasVector", kCIAttributeTypeVector, Vector(0, 0, 0, 0)}},
         colorMatrix},
        {"CIAffineTransform",
         "Affine Transform",
         {{"inputImage", kCIAttributeTypeImage, {}},
          {"inputTransform", kCIAttributeTypeTransform, graphics::AffineTransform::identity()}},
         affineTransform},
        {"CICrop",
         "Crop",
         {{"inputImage", kCIAttributeTypeImage, {}},
          {"inputRectangle", kCIAttributeTypeRectangle, Rect::infinite()}},
         crop},
        {"CIBlendWithMask",
         "Blend with Mask",
         {{"inputImage", kCIAttributeTypeImage, {}},
          {"inputBackgroundImage", kCIAttributeTypeImage, {}},
          {"inputMaskImage", kCIAttributeTypeImage, {}}},
         blendWithMask},
        {"CISourceInCompositing",
         "Source In",
         {{"inputImage", kCIAttributeTypeImage, {}}, {"inputBackgroundImage", kCIAttributeTypeImage, {}}},
         sourceIn},
        {"CISourceOverCompositing",
         "Source Over",
         {{"inputImage", kCIAttributeTypeImage, {}}, {"inputBackgroundImage", kCIAttributeTypeImage, {}}},
         sourceOver},
        {"CIConstantColorGenerator",
         "Constant Color",
         {{"inputColor", kCIAttributeTypeColor, graphics::Color{0, 0, 0, 1}}},
         constantColor},
        {"CIColorInvert", "Color Invert", {{"inputImage", kCIAttributeTypeImage, {}}}, colorInvert},
        {"CIPixellate",
         "Pixellate",
         {{"inputImage", kCIAttributeTypeImage, {}},
          {"inputCenter", kCIAttributeTypePosition, Vector(150, 150)},
          {"inputScale", kCIAttributeTypeScalar, 8.0}},
         pixellate},
    };
    return table;
}

const Description* find(const std::string& name) {
    for (const Description& d : descriptions())
        if (name == d.name) return &d;
    return nullptr;
}

FilterAttributes attributesOf(const Description& d) {
    FilterAttributes a;
    a.displayName = d.displayName;
    for (const Input& input : d.inputs) {
        InputAttributes& i = a.inputs[input.key];
        i.type = input.type;
        i.defaultValue = input.defaultValue;
    }
    return a;
}

class BuiltinFilter final : public Filter {
  public:
    explicit BuiltinFilter(const Description& d) : Filter(d.name, attributesOf(d)), description_(d) {}
    ImagePtr outputImage() const override { return description_.output(*this); }

  private:
    const Description& description_;
};

} // namespace

bool isBuiltinFilterName(const std::string& name) {
    return find(name) != nullptr;
}

FilterPtr makeBuiltinFilter(const std::string& name) {
    const Description* d = find(name);
    return d ? std::make_shared<BuiltinFilter>(*d) : nullptr;
}

} // namespace coreimage
