#include "platform/imageio/PixelWriter.h"

#include "platform/graphics/ParallelRows.h"
#include "platform/imageio/ColorConversion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <type_traits>

namespace imageio {

namespace {

using graphics::Channel;

template <typename T> constexpr double fullValue() {
    if constexpr (std::is_floating_point_v<T>)
        return 1.0;
    else
        return double(std::numeric_limits<T>::max());
}

// Copies into packed R, G, B(, A) of type Out, dividing premultiplied colour by alpha.
template <typename In, typename Out> void repack(const graphics::Image& image, int channels, uint8_t* to) {
    const graphics::PixelFormat& f = image.format();
    const int index[4] = {f.indexOf(Channel::R), f.indexOf(Channel::G), f.indexOf(Channel::B),
                          f.indexOf(Channel::A)};
    const bool divide = f.premultiplied && index[3] >= 0;
    const double scale = fullValue<Out>() / fullValue<In>();
    const int width = image.width();
    graphics::parallelRows(image.height(), size_t(width), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const In* s = reinterpret_cast<const In*>(image.row(y));
            Out* d = reinterpret_cast<Out*>(to) + size_t(y) * size_t(width) * size_t(channels);
            for (int x = 0; x < width; ++x, s += 4, d += channels) {
                const double a = index[3] >= 0 ? double(s[index[3]]) : fullValue<In>();
                for (int c = 0; c < channels; ++c) {
                    double v = double(s[index[c]]);
                    if (divide && c < 3) v = a > 0 ? v * fullValue<In>() / a : 0;
                    v *= scale;
                    if constexpr (std::is_floating_point_v<Out>)
                        d[c] = Out(v);
                    else
                        d[c] = Out(std::clamp(std::round(v), 0.0, fullValue<Out>()));
                }
            }
        }
    });
}

template <typename In> void repackAs(const graphics::Image& image, int channels, bool toFloat, uint8_t* to) {
    if (toFloat)
        repack<In, float>(image, channels, to);
    else
        repack<In, In>(image, channels, to);
}

} // namespace

bool outputPixels(const graphics::Image& image, bool linear, OutputPixels* out) {
    const graphics::PixelFormat& f = image.format();
    const int bits = f.bitsPerComponent;
    out->channels = f.hasAlpha() ? 4 : 3;
    const int r = f.indexOf(Channel::R);
    const bool inPlace = !linear && r + 2 == f.indexOf(Channel::B) && f.indexOf(Channel::G) == r + 1 &&
                         (!f.hasAlpha() || (f.indexOf(Channel::A) == r + 3 && !f.premultiplied));
    const bool toFloat = linear || bits == 32;
    out->type = toFloat ? OIIO::TypeDesc::FLOAT : bits == 16 ? OIIO::TypeDesc::UINT16 : OIIO::TypeDesc::UINT8;
    const size_t bytes = out->type.size();
    if (inPlace) {
        out->data = image.data() + size_t(r) * bytes;
        out->xstride = OIIO::stride_t(4 * bytes);
        out->ystride = OIIO::stride_t(image.rowBytes());
        return true;
    }
    const size_t row = size_t(image.width()) * size_t(out->channels) * bytes;
    try {
        out->storage.resize(row * size_t(image.height()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint8_t* to = out->storage.data();
    if (bits == 8)
        repackAs<uint8_t>(image, out->channels, toFloat, to);
    else if (bits == 16)
        repackAs<uint16_t>(image, out->channels, toFloat, to);
    else
        repackAs<float>(image, out->channels, toFloat, to);
    if (linear)
        decodeSRGBToLinear(reinterpret_cast<float*>(to), row, image.width(), image.height(), out->channels);
    out->data = to;
    out->xstride = OIIO::stride_t(size_t(out->channels) * bytes);
    out->ystride = OIIO::stride_t(row);
    return true;
}

} // namespace imageio
