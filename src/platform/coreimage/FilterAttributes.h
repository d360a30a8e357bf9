#pragma once
// What a filter tells about itself: its display name, its categories and, per input, the
// kind of value, the range, the default and the identity value.
#include "platform/coreimage/FilterValue.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace coreimage {

inline constexpr char kCICategoryColorAdjustment[] = "CICategoryColorAdjustment";
inline constexpr char kCICategoryVideo[] = "CICategoryVideo";
inline constexpr char kCICategoryStillImage[] = "CICategoryStillImage";
inline constexpr char kCICategoryInterlaced[] = "CICategoryInterlaced";
inline constexpr char kCICategoryNonSquarePixels[] = "CICategoryNonSquarePixels";

inline constexpr char kCIAttributeTypeScalar[] = "CIAttributeTypeScalar";
inline constexpr char kCIAttributeTypeImage[] = "CIAttributeTypeImage";
inline constexpr char kCIAttributeTypePosition[] = "CIAttributeTypePosition";
inline constexpr char kCIAttributeTypeRectangle[] = "CIAttributeTypeRectangle";
inline constexpr char kCIAttributeTypeTransform[] = "CIAttributeTypeTransform";
inline constexpr char kCIAttributeTypeColor[] = "CIAttributeTypeColor";
inline constexpr char kCIAttributeTypeVector[] = "CIAttributeTypeVector";

struct InputAttributes {
    std::string type;
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<double> sliderMinimum;
    std::optional<double> sliderMaximum;
    std::optional<double> identity;
    FilterValue defaultValue; // nothing: the input has no default
};

struct FilterAttributes {
    std::string displayName;
    std::vector<std::string> categories;
    std::map<std::string, InputAttributes> inputs;
};

} // namespace coreimage
