// The mask canvas over a 16-megapixel photo in a 1600 x 1000 view: repainting the square one dab
// dirties, repainting the whole view after the picture changed everywhere, and a brush stroke of
// 200 drag events (goal: well above 60 events per second).
#include "BenchApplication.h"
#include "BenchPhoto.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DabWalk.h"
#include "imageview/MaskCompositing.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

using bench::application;

struct Scene {
    std::unique_ptr<CIMicroPaintView> canvas;
    // Two pictures that differ, so every setImage is a change.
    coreimage::ImagePtr pictures[2];
    QImage target{1600, 1000, QImage::Format_ARGB32_Premultiplied};

    Scene() {
        const graphics::ImagePtr photo = bench::photoImage();
        canvas = std::make_unique<CIMicroPaintView>(graphics::Rect(0, 0, 1600, 1000), photo, photo);
        canvas->updateMatrices();
        const coreimage::ImagePtr a = canvas->imageA();
        pictures[0] =
            MaskCompositing::blend(canvas->imageB(), a, MaskCompositing::constant(0.3, 0.3, 0.3, 1));
        pictures[1] =
            MaskCompositing::blend(canvas->imageB(), a, MaskCompositing::constant(0.6, 0.6, 0.6, 1));
        canvas->setImage(pictures[0]);
        canvas->render(&target);
    }
};

Scene& scene() {
    application();
    static Scene s;
    return s;
}

void BM_DabRedraw64(benchmark::State& state) {
    Scene& s = scene();
    int i = 0;
    for (auto _ : state) {
        const int x = 200 + (i * 37) % 1200, y = 100 + (i * 53) % 800;
        s.canvas->setImage(s.pictures[++i % 2], graphics::Rect(x, y, 64, 64));
        s.canvas->render(&s.target, QPoint(), QRegion(x, 1000 - y - 64, 64, 64));
    }
}
BENCHMARK(BM_DabRedraw64)->Unit(benchmark::kMillisecond);

void BM_FullRedraw1600x1000(benchmark::State& state) {
    Scene& s = scene();
    int i = 0;
    for (auto _ : state) {
        s.canvas->setImage(s.pictures[++i % 2]);
        s.canvas->render(&s.target);
    }
}
BENCHMARK(BM_FullRedraw1600x1000)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// A stroke with a 100-point brush across the working mask: 200 drag events a dab's step apart,
// each stamping its dabs and repainting; each iteration is one whole stroke, commit included.
void BM_Stroke200Dabs(benchmark::State& state) {
    Scene& s = scene();
    CIMicroPaintView& canvas = *s.canvas;
    canvas.setScale(1600 / canvas.imageA()->extent().width());
    canvas.setBrushSize(100);
    canvas.setBrushSoftness(100);
    const double step = DabWalk::step(DabWalk::radii(100, canvas.scale(), 1, 100).outer) * canvas.scale();
    for (auto _ : state) {
        canvas.mouseDown(graphics::Point{100, 200}, 1);
        for (int i = 1; i < 200; ++i) {
            canvas.mouseDragged(graphics::Point{100 + (i % 100) * step, 200.0 + (i / 100) * 300}, 1);
            canvas.render(&s.target, QPoint(), QRegion(0, 0, 1600, 1000));
        }
        canvas.mouseUp();
    }
    state.counters["events"] =
        benchmark::Counter(double(state.iterations()) * 200, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Stroke200Dabs)->Unit(benchmark::kMillisecond);

} // namespace
