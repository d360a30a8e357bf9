// The manager's renders on a 16-megapixel photo: a full-size result of a copy effect with and
// without the mask (the difference is the blend's share), and a browser thumbnail. Each iteration
// starts from a fresh working image, as after a new photo, and pumps the main loop until the
// delegate or the thumbnail has the result.
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/PostProcessesManagerDelegate.h"
#include "platform/coreimage/Image.h"
#include "platform/foundation/RunLoop.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 4896; // 16 megapixels, 3:2
constexpr int kHeight = 3264;

class CopyEffect final : public PostProcess {
  public:
    std::string get_name() override { return "Copy"; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t) override { return get_source_pixel(x, y); }
};

struct Delegate : PostProcessesManagerDelegate {
    graphics::ImagePtr result;
    void finishPostProcess(PostProcessesManager&, PostProcess*, graphics::ImagePtr r, graphics::ImagePtr,
                           bool) override {
        result = std::move(r);
    }
    PostProcess* currentFrameEffect() override { return nullptr; }
    double frameParametr() override { return 0; }
    foundation::UndoManager* undoManager() override { return nullptr; }
};

graphics::ImagePtr image(bool mask) {
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &pixels[(size_t(y) * kWidth + size_t(x)) * 4];
            const uint8_t v = mask ? (x < kWidth / 2 ? 0 : 255) : uint8_t(x * 7 + y);
            p[0] = v;
            p[1] = mask ? v : uint8_t(y * 3);
            p[2] = mask ? v : uint8_t(x ^ y);
            p[3] = 255;
        }
    return graphics::Image::copy(pixels.data(), kWidth, kHeight, size_t(kWidth) * 4, {});
}

PostProcessesManager& manager() {
    static PostProcessesManager m({[](int32_t index) -> std::unique_ptr<PostProcess> {
        auto e = std::make_unique<CopyEffect>();
        e->init({}, index);
        return e;
    }});
    static bool ready = false;
    if (!ready) {
        PostProcess::g_preview_quality = 1;
        m.setOriginalImage(image(false));
        m.setMask(coreimage::Image::imageWithCGImage(image(true)));
        ready = true;
    }
    return m;
}

void BM_FullSizeResult(benchmark::State& state) {
    PostProcessesManager& m = manager();
    m.setGenerateWithoutMask(state.range(0) == 0);
    PostProcess* effect = m.postProcesses()[0].get();
    Delegate delegate;
    for (auto _ : state) {
        PostProcess::global_clean();
        delegate.result.reset();
        m.generateImageForPostProcess(effect, false, &delegate);
        foundation::RunLoop::runUntil([&] { return delegate.result != nullptr; }, 120);
        benchmark::DoNotOptimize(delegate.result);
    }
    m.cancelGeneratingImage();
    state.SetLabel(state.range(0) ? "with mask" : "without mask");
}
BENCHMARK(BM_FullSizeResult)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Thumbnail(benchmark::State& state) {
    PostProcessesManager& m = manager();
    m.setGenerateWithoutMask(false);
    m.cancelGeneratingImage(); // thumbnails are made while generation is on
    PostProcess* effect = m.postProcesses()[0].get();
    for (auto _ : state) {
        PostProcess::global_clean();
        effect->setPreviewImage(nullptr);
        m.pushEffectForGenerating(effect);
        foundation::RunLoop::runUntil([&] { return effect->previewImage() != nullptr; }, 120);
    }
}
BENCHMARK(BM_Thumbnail)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
