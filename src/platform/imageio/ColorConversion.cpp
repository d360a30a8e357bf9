#include "platform/imageio/ColorConversion.h"

#include "platform/graphics/ParallelRows.h"

#include <lcms2.h>

#include <cmath>
#include <memory>

namespace imageio {

namespace {

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile openProfile(const std::vector<uint8_t>& icc) {
    if (icc.empty() || icc.size() > 0x7fffffffu) return nullptr;
    return Profile(cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size())));
}

const Profile& srgbProfile() {
    static const Profile srgb(cmsCreate_sRGBProfile());
    return srgb;
}

// A matrix-shaper profile with sRGB's colorants and curves: converting would only add rounding.
bool matchesSRGB(cmsHPROFILE p) {
    cmsHPROFILE s = srgbProfile().get();
    if (!cmsIsMatrixShaper(p)) return false;
    for (cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
        auto* a = static_cast<const cmsCIEXYZ*>(cmsReadTag(p, tag));
        auto* b = static_cast<const cmsCIEXYZ*>(cmsReadTag(s, tag));
        if (!a || !b) return false;
        if (std::fabs(a->X - b->X) > 2e-3 || std::fabs(a->Y - b->Y) > 2e-3 || std::fabs(a->Z - b->Z) > 2e-3)
            return false;
    }
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        auto* a = static_cast<const cmsToneCurve*>(cmsReadTag(p, tag));
        auto* b = static_cast<const cmsToneCurve*>(cmsReadTag(s, tag));
        if (!a || !b) return false;
        for (int i = 0; i <= 16; ++i) {
            const float x = float(i) / 16;
            if (std::fabs(cmsEvalToneCurveFloat(a, x) - cmsEvalToneCurveFloat(b, x)) > 1.0f / 1024)
                return false;
        }
    }
    return true;
}

cmsUInt32Number pixelType(cmsColorSpaceSignature space, int bits, int extra) {
    cmsUInt32Number colorspace = PT_RGB, channels = 3;
    if (space == cmsSigGrayData) colorspace = PT_GRAY, channels = 1;
    if (space == cmsSigCmykData) colorspace = PT_CMYK, channels = 4;
    const cmsUInt32Number bytes = cmsUInt32Number(bits / 8);
    return COLORSPACE_SH(colorspace) | CHANNELS_SH(channels) | BYTES_SH(bytes) | EXTRA_SH(extra) |
           FLOAT_SH(bits == 32 ? 1 : 0);
}

cmsColorSpaceSignature signatureOf(ColorModel model) {
    switch (model) {
    case ColorModel::Gray:
        return cmsSigGrayData;
    case ColorModel::CMYK:
        return cmsSigCmykData;
    case ColorModel::RGB:
        break;
    }
    return cmsSigRgbData;
}

float toSRGB(float v) {
    if (v <= 0.0031308f) return 12.92f * v;
    return 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
}

float toLinear(float v) {
    if (v <= 0.04045f) return v / 12.92f;
    return std::pow((v + 0.055f) / 1.055f, 2.4f);
}

// Applies fn to every pixel of `components` floats.
template <typename Fn>
void eachPixel(float* pixels, size_t rowBytes, int width, int height, int components, Fn fn) {
    graphics::parallelRows(height, size_t(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            float* p = reinterpret_cast<float*>(reinterpret_cast<uint8_t*>(pixels) + size_t(y) * rowBytes);
            for (int x = 0; x < width; ++x, p += components)
                fn(p);
        }
    });
}

} // namespace

bool describeProfile(const std::vector<uint8_t>& icc, ColorModel* model, std::string* name) {
    Profile p = openProfile(icc);
    if (!p) return false;
    const cmsColorSpaceSignature space = cmsGetColorSpace(p.get());
    *model = space == cmsSigGrayData   ? ColorModel::Gray
             : space == cmsSigCmykData ? ColorModel::CMYK
                                       : ColorModel::RGB;
    char text[256] = {};
    cmsGetProfileInfoASCII(p.get(), cmsInfoDescription, "en", "US", text, sizeof text);
    *name = text;
    return true;
}

bool convertProfileToSRGB(const std::vector<uint8_t>& icc, ColorModel model, bool extra, int bitsPerComponent,
                          const uint8_t* src, size_t srcRowBytes, uint8_t* dst, size_t dstRowBytes, int width,
                          int height) {
    Profile p = openProfile(icc);
    if (!p || cmsGetColorSpace(p.get()) != signatureOf(model) || cmsGetPCS(p.get()) == 0) return false;
    if (model == ColorModel::RGB && matchesSRGB(p.get())) return false;
    const cmsUInt32Number in = pixelType(signatureOf(model), bitsPerComponent, extra ? 1 : 0);
    const cmsUInt32Number out = pixelType(cmsSigRgbData, bitsPerComponent, 1);
    // NOCACHE: the bands below share the transform across threads.
    const cmsUInt32Number flags = cmsFLAGS_NOCACHE | (extra ? cmsFLAGS_COPY_ALPHA : 0);
    Transform t(cmsCreateTransform(p.get(), in, srgbProfile().get(), out, INTENT_PERCEPTUAL, flags));
    if (!t) return false;
    graphics::parallelRows(height, size_t(width), [&](int y0, int y1) {
        cmsDoTransformLineStride(t.get(), src + size_t(y0) * srcRowBytes, dst + size_t(y0) * dstRowBytes,
                                 cmsUInt32Number(width), cmsUInt32Number(y1 - y0),
                                 cmsUInt32Number(srcRowBytes), cmsUInt32Number(dstRowBytes), 0, 0);
    });
    return true;
}

void encodeLinearToSRGB(float* pixels, size_t rowBytes, int width, int height, bool premultiplied) {
    eachPixel(pixels, rowBytes, width, height, 4, [premultiplied](float* p) {
        const float a = p[3];
        const bool divide = premultiplied && a > 0 && a != 1;
        for (int c = 0; c < 3; ++c)
            p[c] = toSRGB(divide ? p[c] / a : p[c]);
    });
}

void decodeSRGBToLinear(float* pixels, size_t rowBytes, int width, int height, int components) {
    eachPixel(pixels, rowBytes, width, height, components, [components](float* p) {
        const float a = components == 4 ? p[3] : 1.0f;
        for (int c = 0; c < 3; ++c)
            p[c] = toLinear(p[c]) * a;
    });
}

} // namespace imageio
