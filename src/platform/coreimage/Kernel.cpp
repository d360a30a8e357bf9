#include "platform/coreimage/Kernel.h"

#include "platform/coreimage/KernelImage.h"
#include "platform/coreimage/KernelRegistry.h"

#include <cctype>

namespace coreimage {

namespace {

bool identifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool identifierPart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Identifiers and single punctuation characters, comments left out.
std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (text.substr(i, 2) == "//") {
            const size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (text.substr(i, 2) == "/*") {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (identifierStart(c)) {
            size_t end = i + 1;
            while (end < text.size() && identifierPart(text[end]))
                ++end;
            out.push_back(text.substr(i, end - i));
            i = end;
        } else {
            out.push_back(text.substr(i, 1));
            ++i;
        }
    }
    return out;
}

} // namespace

Kernel::Kernel(std::string name, Function function, int roiMargin)
    : name_(std::move(name)), function_(function), roiMargin_(roiMargin) {}

std::vector<KernelPtr> Kernel::kernelsWithString(std::string_view source) {
    const std::vector<std::string_view> t = tokens(source);
    std::vector<KernelPtr> kernels;
    // A declaration: "kernel", a return type, the name, "(".
    for (size_t i = 0; i + 3 < t.size(); ++i) {
        if (t[i] != "kernel" || !identifierStart(t[i + 1][0]) || !identifierStart(t[i + 2][0]) ||
            t[i + 3] != "(")
            continue;
        KernelPtr kernel = KernelRegistry::kernelNamed(std::string(t[i + 2]));
        if (!kernel) return {};
        kernels.push_back(std::move(kernel));
    }
    return kernels;
}

ImagePtr Kernel::apply(const graphics::Rect& definition, const std::vector<FilterValue>& arguments) const {
    std::vector<ImagePtr> images;
    std::vector<Vec4> values;
    for (const FilterValue& argument : arguments) {
        if (const ImagePtr* image = std::get_if<ImagePtr>(&argument)) {
            if (!*image) return nullptr;
            images.push_back(*image);
        } else if (const double* number = std::get_if<double>(&argument)) {
            values.push_back({float(*number), 0, 0, 0});
        } else if (const Vector* v = std::get_if<Vector>(&argument)) {
            values.push_back({float(v->x()), float(v->y()), float(v->z()), float(v->w())});
        } else if (const graphics::Color* c = std::get_if<graphics::Color>(&argument)) {
            const float a = float(c->alpha);
            values.push_back({float(c->red) * a, float(c->green) * a, float(c->blue) * a, a});
        } else {
            return nullptr;
        }
    }
    return std::make_shared<KernelImage>(function_, roiMargin_, std::move(images), std::move(values),
                                         definition);
}

} // namespace coreimage
