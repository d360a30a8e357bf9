// LayerKit painting: a 16-megapixel picture layer with a drop shadow scaled into a 1600x1000
// view while an opacity animation runs, per frame; and the first frame, which also makes the
// reduced copies of the picture.
#include "BenchPhoto.h"
#include "platform/quartz/BasicAnimation.h"
#include "platform/quartz/Clock.h"
#include "platform/quartz/Layer.h"
#include "platform/quartz/LayerRenderer.h"
#include "platform/quartz/Transaction.h"

#include <benchmark/benchmark.h>

#include <QPainter>

namespace {

constexpr int kViewWidth = 1600, kViewHeight = 1000;

std::shared_ptr<const QImage> picture() {
    static const std::shared_ptr<const QImage> image = [] {
        auto out = std::make_shared<QImage>(bench::kPhotoWidth, bench::kPhotoHeight, QImage::Format_RGB32);
        const auto& px = bench::photo();
        for (int y = 0; y < bench::kPhotoHeight; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(out->scanLine(y));
            const uint8_t* p = &px[size_t(y) * bench::kPhotoWidth * 4];
            for (int x = 0; x < bench::kPhotoWidth; ++x, p += 4)
                row[x] = qRgb(p[1], p[2], p[3]);
        }
        return out;
    }();
    return image;
}

struct Scene {
    std::shared_ptr<quartz::Layer> root = std::make_shared<quartz::Layer>();
    std::shared_ptr<quartz::Layer> photo = std::make_shared<quartz::Layer>();
    explicit Scene(std::shared_ptr<const QImage> contents) {
        quartz::Transaction::begin();
        quartz::Transaction::setDisableActions(true);
        root->setFrame(graphics::Rect(0, 0, kViewWidth, kViewHeight));
        root->setBackgroundColor(QColor(38, 38, 40));
        root->addSublayer(photo);
        const double side = kViewHeight - 40; // the square picture fitted with a margin
        photo->setFrame(graphics::Rect((kViewWidth - side) / 2, 20, side, side));
        photo->setContents(std::move(contents));
        photo->setShadowOpacity(0.8);
        photo->setShadowRadius(6);
        photo->setShadowOffset(graphics::Size(5, -5));
        quartz::Transaction::commit();
        quartz::BasicAnimation fade("opacity");
        fade.setFromValue(0.0);
        fade.setToValue(1.0);
        fade.setDuration(1e6);
        photo->addAnimation(fade, "fade");
    }
};

} // namespace

static void BM_LayerFrame16MPWithFade(benchmark::State& state) {
    Scene scene(picture());
    QImage frame(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&frame);
        quartz::LayerRenderer::render(painter, *scene.root, kViewHeight, quartz::Clock::now());
    }
    for (auto _ : state) {
        QPainter painter(&frame);
        quartz::LayerRenderer::render(painter, *scene.root, kViewHeight, quartz::Clock::now());
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_LayerFrame16MPWithFade)->Unit(benchmark::kMillisecond);

static void BM_LayerFirstFrame16MP(benchmark::State& state) {
    QImage frame(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        Scene scene(std::make_shared<const QImage>(picture()->copy())); // new contents: nothing kept
        state.ResumeTiming();
        QPainter painter(&frame);
        quartz::LayerRenderer::render(painter, *scene.root, kViewHeight, quartz::Clock::now());
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_LayerFirstFrame16MP)->Unit(benchmark::kMillisecond);

// A zoom in flight: the picture's size on screen changes every frame.
static void BM_LayerFrame16MPZooming(benchmark::State& state) {
    Scene scene(picture());
    quartz::BasicAnimation zoom("bounds");
    zoom.setFromValue(graphics::Rect(0, 0, 400, 400));
    zoom.setToValue(graphics::Rect(0, 0, 960, 960));
    zoom.setDuration(0.5);
    zoom.setFillsForwards(true);
    zoom.setRemovedOnCompletion(false);
    scene.photo->addAnimation(zoom, "zoom");
    QImage frame(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    const double start = quartz::Clock::now();
    int frameIndex = 0;
    for (auto _ : state) {
        // Thirty frames of half a second, again and again: a new size every frame.
        const double time = start + (frameIndex++ % 30) / 60.0;
        QPainter painter(&frame);
        quartz::LayerRenderer::render(painter, *scene.root, kViewHeight, time);
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_LayerFrame16MPZooming)->Unit(benchmark::kMillisecond);
