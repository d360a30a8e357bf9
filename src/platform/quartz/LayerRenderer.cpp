#include "platform/quartz/LayerRenderer.h"

#include "platform/graphics/ParallelRows.h"
#include "platform/quartz/Layer.h"
#include "platform/quartz/LayerRenderCache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace quartz {

namespace {

QTransform toQt(const graphics::AffineTransform& t) {
    return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty);
}

bool sameContents(const std::weak_ptr<const QImage>& kept, const Contents& contents) {
    return !kept.expired() && kept.lock() == contents;
}

// One level down: each pixel the mean of a 2x2 block (edges repeat on odd sides). Every byte is
// averaged alone, so opaque R,G,B,X stays R,G,B,X.
QImage halved(const QImage& source) {
    const int w = std::max(1, source.width() / 2), h = std::max(1, source.height() / 2);
    QImage out(w, h,
               source.format() == QImage::Format_RGBX8888 ? source.format()
                                                          : QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return out;
    const int sw = source.width(), sh = source.height();
    const uchar* from = source.constBits();
    const size_t fromStride = size_t(source.bytesPerLine());
    uchar* to = out.bits(); // rows are written from several threads: no detaching in between
    const size_t toStride = size_t(out.bytesPerLine());
    graphics::parallelRows(h, size_t(w) * 4, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const auto* r0 =
                reinterpret_cast<const uint32_t*>(from + size_t(std::min(2 * y, sh - 1)) * fromStride);
            const auto* r1 =
                reinterpret_cast<const uint32_t*>(from + size_t(std::min(2 * y + 1, sh - 1)) * fromStride);
            auto* o = reinterpret_cast<uint32_t*>(to + size_t(y) * toStride);
            for (int x = 0; x < w; ++x) {
                const int x0 = std::min(2 * x, sw - 1), x1 = std::min(2 * x + 1, sw - 1);
                const uint32_t a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
                // Two channels at a time in 10-bit lanes: no carry between them.
                const uint32_t rb =
                    ((a & 0xff00ff) + (b & 0xff00ff) + (c & 0xff00ff) + (d & 0xff00ff) + 0x20002) >> 2;
                const uint32_t ag = (((a >> 8) & 0xff00ff) + ((b >> 8) & 0xff00ff) + ((c >> 8) & 0xff00ff) +
                                     ((d >> 8) & 0xff00ff) + 0x20002) >>
                                    2;
                o[x] = (rb & 0xff00ff) | ((ag & 0xff00ff) << 8);
            }
        }
    });
    return out;
}

// The mipmap level whose pixels are at least `needed` of the contents' (1 = full size), in a
// premultiplied format. Opaque R,G,B,X contents are halved as they are and only the level drawn
// is converted: a picture fitted to the view never converts its whole size.
const QImage& level(LayerRenderCache& cache, const Contents& contents, double needed) {
    if (!sameContents(cache.mipContents, contents)) {
        cache.mipContents = contents;
        cache.levels.clear();
        const QImage::Format f = contents->format();
        cache.levels.push_back(f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32 ||
                                       f == QImage::Format_RGBX8888
                                   ? *contents
                                   : contents->convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    double scale = 1;
    size_t index = 0;
    while (scale / 2 >= needed) {
        if (index + 1 >= cache.levels.size()) {
            const QImage& last = cache.levels.back();
            if (last.width() == 1 && last.height() == 1) break;
            QImage next = halved(last);
            if (next.isNull()) break;
            cache.levels.push_back(std::move(next));
        }
        ++index;
        scale /= 2;
    }
    QImage& chosen = cache.levels[index];
    if (chosen.format() == QImage::Format_RGBX8888)
        chosen = chosen.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return chosen;
}

// Three box passes each way over premultiplied pixels: close to a Gaussian.
void boxBlur(QImage& image, int radius) {
    if (radius < 1) return;
    const int w = image.width(), h = image.height();
    // The rounded mean of a window by its sum: a look-up instead of a division per component.
    const uint32_t window = uint32_t(2 * radius + 1);
    std::vector<uint8_t> mean(255 * window + 1);
    for (uint32_t s = 0; s < mean.size(); ++s)
        mean[s] = uint8_t((s + window / 2) / window);
    // One row or column blurred in place through `line`.
    auto pass = [radius, &mean](uint32_t* first, int count, ptrdiff_t step, std::vector<uint32_t>& line) {
        for (int i = 0; i < count; ++i)
            line[size_t(i)] = first[i * step];
        uint32_t sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= count) return;
            const uint32_t p = line[size_t(i)];
            for (int c = 0; c < 4; ++c)
                sum[c] += uint32_t(sign) * ((p >> (8 * c)) & 0xff);
        };
        for (int i = -radius; i < radius; ++i)
            add(i, 1);
        for (int i = 0; i < count; ++i) {
            add(i + radius, 1);
            uint32_t out = 0;
            for (int c = 0; c < 4; ++c)
                out |= uint32_t(mean[sum[c]]) << (8 * c);
            first[i * step] = out;
            add(i - radius, -1);
        }
    };
    uint32_t* base = reinterpret_cast<uint32_t*>(image.bits());
    const ptrdiff_t stride = image.bytesPerLine() / 4;
    // Rows, then columns, are blurred apart from each other: bands of them go to threads.
    for (int round = 0; round < 3; ++round) {
        graphics::parallelRows(h, size_t(w), [&](int y0, int y1) {
            auto line = std::vector<uint32_t>(size_t(w));
            for (int y = y0; y < y1; ++y)
                pass(base + y * stride, w, 1, line);
        });
        graphics::parallelRows(w, size_t(h), [&](int x0, int x1) {
            auto line = std::vector<uint32_t>(size_t(h));
            for (int x = x0; x < x1; ++x)
                pass(base + x, h, stride, line);
        });
    }
}

void drawShadow(QPainter& painter, const Layer& layer, const QRectF& r, const QTransform& m, bool moving) {
    const double s = std::sqrt(std::fabs(m.determinant()));
    if (s <= 0) return;
    const QSize size(std::max(1, int(std::lround(r.width() * s))),
                     std::max(1, int(std::lround(r.height() * s))));
    const double radius = layer.shadowRadius() * s;
    QColor colour = layer.shadowColor();
    colour.setAlphaF(float(colour.alphaF() * layer.shadowOpacity()));
    const Contents& contents = layer.contents();
    LayerRenderCache& cache = layer.renderCache();
    const bool ofContents = bool(contents);
    const bool sameShape = !cache.shadow.isNull() && cache.shadowColour == colour.rgba() &&
                           cache.shadowOfContents == ofContents &&
                           (!ofContents || sameContents(cache.shadowContents, contents));
    // While the layer changes size, the kept shadow is stretched rather than blurred every frame.
    const bool stretch = sameShape && moving && (cache.shadowSize != size || cache.shadowRadius != radius);
    if (!stretch && (!sameShape || cache.shadowSize != size || cache.shadowRadius != radius)) {
        const int box = int(std::lround(radius / 2));
        const int pad = 3 * box + 1;
        QImage shadow(size.width() + 2 * pad, size.height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
        if (shadow.isNull()) return;
        shadow.fill(Qt::transparent);
        {
            QPainter p(&shadow);
            const QRect shape(pad, pad, size.width(), size.height());
            if (ofContents) {
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.drawImage(shape, level(cache, contents, double(size.width()) / contents->width()));
                p.setCompositionMode(QPainter::CompositionMode_SourceIn);
                p.fillRect(shadow.rect(), colour);
            } else {
                p.fillRect(shape, colour);
            }
        }
        boxBlur(shadow, box);
        cache.shadow = std::move(shadow);
        cache.shadowContents = contents;
        cache.shadowOfContents = ofContents;
        cache.shadowSize = size;
        cache.shadowRadius = radius;
        cache.shadowColour = colour.rgba();
        cache.shadowPad = pad;
    }
    const graphics::Size offset = layer.shadowOffset();
    // The kept shadow's shape covers the bounds; its pad scales with it.
    const double kx = r.width() / cache.shadowSize.width(), ky = r.height() / cache.shadowSize.height();
    const double padX = cache.shadowPad * kx, padY = cache.shadowPad * ky;
    // Shadow pixels map into the layer's y-up space with their top row at the top.
    const QTransform place(kx, 0, 0, -ky, r.x() + offset.width - padX, r.bottom() + offset.height + padY);
    painter.setTransform(place * m);
    painter.drawImage(QPointF(0, 0), cache.shadow);
}

void drawContents(QPainter& painter, const Layer& layer, const QRectF& r, const QTransform& m, bool moving) {
    const Contents& contents = layer.contents();
    const int W = contents->width(), H = contents->height();
    if (W <= 0 || H <= 0 || r.width() <= 0 || r.height() <= 0) return;
    LayerRenderCache& cache = layer.renderCache();
    // Contents pixels (top row first) onto the bounds, whose top is their largest y.
    const QTransform picture = QTransform(r.width() / W, 0, 0, -r.height() / H, r.x(), r.bottom()) * m;
    if (picture.type() <= QTransform::TxScale && picture.m11() > 0 && picture.m22() > 0) {
        const QRectF target = picture.mapRect(QRectF(0, 0, W, H));
        const QSize size(std::max(1, int(std::lround(target.width()))),
                         std::max(1, int(std::lround(target.height()))));
        const bool kept = sameContents(cache.scaledContents, contents) && cache.scaled.size() == size;
        // A size that changes every frame is drawn from the halved copies, not scaled anew each time.
        if ((size.width() < W * 3 / 4 || size.height() < H * 3 / 4) && (kept || !moving)) {
            if (!kept) {
                const double needed = std::max(double(size.width()) / W, double(size.height()) / H);
                cache.scaled = level(cache, contents, needed)
                                   .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                cache.scaledContents = contents;
            }
            painter.setTransform(QTransform());
            painter.drawImage(QPoint(int(std::lround(target.x())), int(std::lround(target.y()))),
                              cache.scaled);
            return;
        }
    }
    const double scale = std::sqrt(std::fabs(picture.determinant()));
    const QImage& source = level(cache, contents, scale);
    painter.setTransform(QTransform::fromScale(double(W) / source.width(), double(H) / source.height()) *
                         picture);
    painter.drawImage(QPointF(0, 0), source);
}

void paintLayer(QPainter& painter, Layer& layer, const QTransform& parent, double parentOpacity,
                double time) {
    if (layer.isHidden()) return;
    const LayerValues v = layer.presentationAt(time);
    const double opacity = parentOpacity * std::clamp(v.opacity, 0.0, 1.0);
    if (opacity <= 0) return;
    const graphics::Rect b = v.bounds.standardized();
    const double ax = b.minX() + v.anchorPoint.x * b.width(), ay = b.minY() + v.anchorPoint.y * b.height();
    const QTransform m = QTransform::fromTranslate(-ax, -ay) * toQt(v.transform) *
                         QTransform::fromTranslate(v.position.x, v.position.y) * parent;
    if (!m.isInvertible()) return;
    layer.displayIfNeeded();
    const QRectF r(b.minX(), b.minY(), b.width(), b.height());
    painter.setOpacity(opacity);
    const bool moving = layer.hasRunningAnimations(time);
    if (layer.shadowOpacity() > 0 && r.width() > 0 && r.height() > 0)
        drawShadow(painter, layer, r, m, moving);
    if (layer.backgroundColor().alpha() > 0) {
        painter.setTransform(m);
        painter.fillRect(r, layer.backgroundColor());
    }
    if (layer.contents() && !layer.contents()->isNull()) drawContents(painter, layer, r, m, moving);
    std::vector<Layer*> order;
    order.reserve(layer.sublayers().size());
    for (const auto& sublayer : layer.sublayers())
        order.push_back(sublayer.get());
    std::stable_sort(order.begin(), order.end(),
                     [](Layer* a, Layer* b) { return a->zPosition() < b->zPosition(); });
    for (Layer* sublayer : order)
        paintLayer(painter, *sublayer, m, opacity, time);
}

} // namespace

void LayerRenderer::render(QPainter& painter, Layer& root, double height, double time) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform base = QTransform(1, 0, 0, -1, 0, height) * painter.transform();
    paintLayer(painter, root, base, painter.opacity(), time);
    painter.restore();
}

} // namespace quartz
