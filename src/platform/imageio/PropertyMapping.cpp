#include "platform/imageio/PropertyMapping.h"

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace imageio {

using foundation::Array;
using foundation::Dictionary;
using foundation::Value;

namespace {

// Plain attribute names that belong to the TIFF directory.
constexpr std::array<std::string_view, 13> kTIFFKeys = {
    "Make",          "Model",       "Software",         "DateTime",
    "Artist",        "Copyright",   "ImageDescription", "HostComputer",
    "DocumentName",  "Orientation", "XResolution",      "YResolution",
    "ResolutionUnit"};

// Exif tags OpenImageIO names without the "Exif:" prefix.
constexpr std::array<std::string_view, 2> kPlainExifKeys = {"ExposureTime", "FNumber"};

// OpenImageIO's IPTC names and the platform's, where they differ.
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kIPTCNames = {{
    {"Creator", "Byline"},
    {"AuthorsPosition", "BylineTitle"},
    {"Caption", "Caption/Abstract"},
    {"CaptionWriter", "Writer/Editor"},
    {"State", "Province/State"},
    {"Country", "Country/PrimaryLocationName"},
    {"CountryCode", "Country/PrimaryLocationCode"},
    {"Sublocation", "SubLocation"},
    {"TransmissionReference", "OriginalTransmissionReference"},
    {"Provider", "Credit"},
    {"Instructions", "SpecialInstructions"},
    {"SupplementalCategories", "SupplementalCategory"},
}};

// Other renamings: {directory, OpenImageIO name, platform name}.
struct Rename {
    std::string_view directory, attribute, key;
};
constexpr std::array<Rename, 2> kRenames = {{
    {"{Exif}", "PhotographicSensitivity", "ISOSpeedRatings"},
    {"{GPS}", "VersionID", "GPSVersion"},
}};

// GPS values stored as degrees, minutes, seconds.
constexpr std::array<std::string_view, 4> kGPSAngles = {"Latitude", "Longitude", "DestLatitude",
                                                        "DestLongitude"};

bool contains(auto& list, std::string_view name) {
    for (std::string_view k : list)
        if (k == name) return true;
    return false;
}

std::string platformName(std::string_view directory, std::string_view attribute) {
    if (directory == "{IPTC}")
        for (auto& [oiio, key] : kIPTCNames)
            if (oiio == attribute) return std::string(key);
    for (const Rename& r : kRenames)
        if (r.directory == directory && r.attribute == attribute) return std::string(r.key);
    return std::string(attribute);
}

std::string attributeName(std::string_view directory, std::string_view key) {
    if (directory == "{IPTC}")
        for (auto& [oiio, name] : kIPTCNames)
            if (name == key) return std::string(oiio);
    for (const Rename& r : kRenames)
        if (r.directory == directory && r.key == key) return std::string(r.attribute);
    return std::string(key);
}

double rationalAt(const OIIO::ParamValue& p, int i) {
    double num, den;
    if (p.type().basetype == OIIO::TypeDesc::UINT32) {
        const auto* v = static_cast<const uint32_t*>(p.data());
        num = v[2 * i], den = v[2 * i + 1];
    } else {
        const auto* v = static_cast<const int32_t*>(p.data());
        num = v[2 * i], den = v[2 * i + 1];
    }
    return den != 0 ? num / den : 0.0;
}

// One attribute as a value: a number, a string, or an array when it holds several.
Value valueOf(const OIIO::ParamValue& p) {
    const OIIO::TypeDesc t = p.type();
    if (t.basetype == OIIO::TypeDesc::STRING) return Value(p.get_string_indexed(0));
    const bool rational = t.vecsemantics == OIIO::TypeDesc::RATIONAL;
    const bool integral = !rational && t.basetype != OIIO::TypeDesc::FLOAT &&
                          t.basetype != OIIO::TypeDesc::DOUBLE && t.basetype != OIIO::TypeDesc::HALF;
    const int count = p.nvalues() * int(t.numelements()) * t.aggregate / (rational ? 2 : 1);
    if (count <= 0 || count > 4096) return {};
    Array values;
    for (int i = 0; i < count; ++i) {
        if (rational) {
            values.push_back(rationalAt(p, i));
        } else if (integral) {
            values.push_back(p.get_int_indexed(i));
        } else {
            values.push_back(double(p.get_float_indexed(i)));
        }
    }
    if (count == 1) return values[0];
    return Value(std::move(values));
}

double degreesOf(const Value& v) {
    const Array* a = v.getArray();
    if (!a) return v.getDouble().value_or(0);
    double degrees = 0, scale = 1;
    for (const Value& part : *a) {
        degrees += part.getDouble().value_or(0) / scale;
        scale *= 60;
    }
    return degrees;
}

Array splitList(const std::string& s) {
    Array items;
    size_t begin = 0;
    while (begin <= s.size()) {
        size_t end = s.find(';', begin);
        if (end == std::string::npos) end = s.size();
        std::string item = s.substr(begin, end - begin);
        const size_t first = item.find_first_not_of(' ');
        if (first != std::string::npos) items.push_back(item.substr(first));
        begin = end + 1;
    }
    return items;
}

// ResolutionUnit as the TIFF code: 1 none, 2 inch, 3 centimetre.
int resolutionUnitCode(const std::string& unit) {
    if (unit == "in" || unit == "inch") return 2;
    if (unit == "cm") return 3;
    return 1;
}

void put(Dictionary& properties, const std::string& directory, const std::string& key, Value value) {
    if (value.isNull()) return;
    Value& dict = properties[directory];
    if (!dict.getDictionary()) dict = Dictionary{};
    (*dict.getDictionary())[key] = std::move(value);
}

// The attribute for a value: strings, numbers and arrays of numbers; arrays of strings are
// joined as OpenImageIO lists them ("a; b").
void setAttribute(OIIO::ImageSpec& spec, const std::string& name, const Value& v) {
    if (const std::string* s = v.getString()) {
        spec.attribute(name, *s);
    } else if (v.type() == Value::Type::Real) {
        spec.attribute(name, float(*v.getDouble()));
    } else if (v.isNumber()) {
        spec.attribute(name, int(*v.getInt64()));
    } else if (const Array* a = v.getArray()) {
        if (a->empty()) return;
        if ((*a)[0].getString()) {
            std::string joined;
            for (const Value& item : *a)
                if (const std::string* s = item.getString()) joined += (joined.empty() ? "" : "; ") + *s;
            spec.attribute(name, joined);
            return;
        }
        bool integral = true;
        for (const Value& item : *a) {
            if (!item.isNumber()) return;
            integral = integral && item.type() != Value::Type::Real;
        }
        if (integral) {
            std::vector<int> ints;
            for (const Value& item : *a)
                ints.push_back(int(*item.getInt64()));
            spec.attribute(name, OIIO::TypeDesc(OIIO::TypeDesc::INT, int(ints.size())), ints.data());
        } else {
            std::vector<float> floats;
            for (const Value& item : *a)
                floats.push_back(float(*item.getDouble()));
            spec.attribute(name, OIIO::TypeDesc(OIIO::TypeDesc::FLOAT, int(floats.size())), floats.data());
        }
    }
}

const Dictionary* dictionaryAt(const Dictionary& properties, const char* key) {
    auto it = properties.find(key);
    return it == properties.end() ? nullptr : it->second.getDictionary();
}

} // namespace

void addMetadataProperties(const OIIO::ImageSpec& spec, const std::string& format, Dictionary& properties) {
    for (const OIIO::ParamValue& p : spec.extra_attribs) {
        const std::string name = p.name().string();
        const size_t colon = name.find(':');
        const std::string prefix = colon == std::string::npos ? "" : name.substr(0, colon);
        const std::string rest = name.substr(colon + 1);
        Value value = valueOf(p);
        if (prefix.empty() && contains(kPlainExifKeys, name)) {
            put(properties, "{Exif}", name, std::move(value));
        } else if (prefix == "Exif") {
            if (rest == "PhotographicSensitivity" && !value.getArray()) value = Array{value};
            put(properties, "{Exif}", platformName("{Exif}", rest), std::move(value));
        } else if (prefix == "GPS") {
            if (contains(kGPSAngles, rest)) value = degreesOf(value);
            put(properties, "{GPS}", platformName("{GPS}", rest), std::move(value));
        } else if (prefix == "IPTC") {
            if (rest == "Keywords" || rest == "SupplementalCategories")
                if (const std::string* s = value.getString()) value = splitList(*s);
            put(properties, "{IPTC}", platformName("{IPTC}", rest), std::move(value));
        } else if (prefix.empty() && contains(kTIFFKeys, name)) {
            if (name == "ResolutionUnit")
                value = resolutionUnitCode(value.getString() ? *value.getString() : "");
            put(properties, "{TIFF}", name, std::move(value));
        }
    }
    if (format == "tiff") {
        if (int code = spec.get_int_attribute("tiff:Compression", 0))
            put(properties, "{TIFF}", "Compression", code);
    }
    if (format == "png") {
        if (float gamma = spec.get_float_attribute("oiio:Gamma", 0))
            put(properties, "{PNG}", "Gamma", double(gamma));
    }

    const int orientation = spec.get_int_attribute("Orientation", 0);
    if (orientation >= 1 && orientation <= 8) properties["Orientation"] = orientation;
    const float xres = spec.get_float_attribute("XResolution", 0);
    const float yres = spec.get_float_attribute("YResolution", 0);
    const int unit = resolutionUnitCode(spec.get_string_attribute("ResolutionUnit"));
    if (xres > 0 && yres > 0 && unit != 1) {
        const double perInch = unit == 3 ? 2.54 : 1.0;
        properties["DPIWidth"] = xres * perInch;
        properties["DPIHeight"] = yres * perInch;
        if (format == "jpeg") {
            put(properties, "{JFIF}", "XDensity", double(xres));
            put(properties, "{JFIF}", "YDensity", double(yres));
            put(properties, "{JFIF}", "DensityUnit", unit == 3 ? 2 : 1);
        }
    }
}

void addMetadataAttributes(const Dictionary& properties, OIIO::ImageSpec& spec) {
    if (const Dictionary* tiff = dictionaryAt(properties, "{TIFF}")) {
        for (const auto& [key, value] : *tiff) {
            if (key == "Orientation" || !contains(kTIFFKeys, key)) continue;
            if (key == "ResolutionUnit") {
                const int64_t code = value.getInt64().value_or(1);
                spec.attribute("ResolutionUnit", code == 2 ? "in" : code == 3 ? "cm" : "none");
            } else if (key == "XResolution" || key == "YResolution") {
                if (auto d = value.getDouble()) spec.attribute(key, float(*d));
            } else {
                setAttribute(spec, key, value);
            }
        }
    }
    const foundation::Value* dpiWidth = properties.count("DPIWidth") ? &properties.at("DPIWidth") : nullptr;
    const foundation::Value* dpiHeight =
        properties.count("DPIHeight") ? &properties.at("DPIHeight") : nullptr;
    const double xdpi = dpiWidth ? dpiWidth->getDouble().value_or(0) : 0;
    const double ydpi = dpiHeight ? dpiHeight->getDouble().value_or(0) : 0;
    if (xdpi > 0 && ydpi > 0) {
        spec.attribute("XResolution", float(xdpi));
        spec.attribute("YResolution", float(ydpi));
        spec.attribute("ResolutionUnit", "in");
    }
    spec.attribute("Orientation", 1);

    for (const char* directory : {"{Exif}", "{GPS}", "{IPTC}"}) {
        const Dictionary* dict = dictionaryAt(properties, directory);
        if (!dict) continue;
        const std::string prefix = std::string(directory).substr(1, std::string(directory).size() - 2) + ":";
        for (const auto& [key, value] : *dict) {
            const bool plain = prefix == "Exif:" && contains(kPlainExifKeys, key);
            const std::string name = plain ? key : prefix + attributeName(directory, key);
            if (name == "Exif:PhotographicSensitivity" && value.getArray()) {
                if (!value.getArray()->empty()) setAttribute(spec, name, value.getArray()->front());
            } else if (prefix == "GPS:" && contains(kGPSAngles, key)) {
                const double deg = std::fabs(value.getDouble().value_or(0));
                const double minutes = (deg - std::floor(deg)) * 60;
                const float dms[3] = {float(std::floor(deg)), float(std::floor(minutes)),
                                      float((minutes - std::floor(minutes)) * 60)};
                spec.attribute(name, OIIO::TypeDesc(OIIO::TypeDesc::FLOAT, 3), dms);
            } else if (name != "GPS:VersionID") {
                setAttribute(spec, name, value);
            }
        }
    }
    spec.attribute("Exif:PixelXDimension", spec.width);
    spec.attribute("Exif:PixelYDimension", spec.height);
}

} // namespace imageio
