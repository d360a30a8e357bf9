// Kernels that a preparation runs poll the cancel of the thread they work for: cancelled, they stop
// at once, write nothing more and answer false, so that a cancel never waits on a whole blur.
#include "kernels/Texture.h"
#include "kernels/blur/GaussianBlur.h"
#include "kernels/blur/fast_blur.h"
#include "kernels/blur/gaussian_blur.h"
#include "kernels/paint/oil_paint_filter.h"
#include "kernels/paint/smart_posterize.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kW = 300, kH = 200;

std::vector<uint8_t> pattern() {
    std::vector<uint8_t> bytes(size_t(kW) * kH * 4);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + i / 13);
    return bytes;
}

TEST(CancelledKernels, StopAtOnceWriteNothingAndAnswerFalse) {
    struct Case {
        const char* name;
        std::function<bool(const uint8_t* src, uint8_t* dst)> run;
    };
    const std::unique_ptr<float, decltype(&std::free)> kernel(gaussianMatrixForRadius(9), &std::free);
    const float* row9 = kernel.get() + 8 * 19;
    const Case cases[] = {
        {"box blur",
         [](const uint8_t* s, uint8_t* d) { return fast_blur_argb(s, d, kW, kH, 4 * kW, 4 * kW, 9, 9); }},
        {"one-channel box blur",
         [](const uint8_t* s, uint8_t* d) { return fast_blur_mono(s, d, kW, kH, kW, kW, 4, 4); }},
        {"soft edge mask",
         [](const uint8_t* s, uint8_t* d) { return fast_blur_ed_argb(s, d, kW, kH, 4 * kW, 4 * kW, 5, 5); }},
        {"gaussian blur",
         [row9](const uint8_t* s, uint8_t* d) { return gaussianBlurARGB(s, d, kW, kH, row9, 19, 1); }},
        {"posterize",
         [](const uint8_t* s, uint8_t* d) { return smart_posterize(s, d, kW, kH, 32, 10, 256); }},
        {"oil paint underpainting",
         [](const uint8_t* s, uint8_t* d) {
             return oil_paint_filter(s, d, kW, kH, 4 * kW, 4 * kW, nullptr, 0, 1.0f);
         }},
        {"gaussian texture grid",
         [](const uint8_t* s, uint8_t* d) {
             texture_t* t = tex_create_empty(kW, kH, 4);
             if (!t) return true;
             const bool made = GaussianBlur::sharedGaussianBlur()->gaussianBlurBothPasses(s, t, 12, 1, 1);
             tex_free(t);
             (void)d;
             return made;
         }},
        {"texture box blur",
         [](const uint8_t* s, uint8_t* d) {
             texture_t* t = tex_create_copy(kW, kH, s, 4);
             if (!t) return true;
             const bool made = tex_blur_fast(t, 7);
             tex_free(t);
             (void)d;
             return made;
         }},
    };
    const std::vector<uint8_t> src = pattern();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> dst(src.size(), 0xA5);
        bool made = true, whole = false;
        {
            foundation::Thread worker([&] {
                foundation::Thread::current().cancel();
                made = c.run(src.data(), dst.data());
            });
        }
        EXPECT_FALSE(made);
        EXPECT_TRUE(dst == std::vector<uint8_t>(src.size(), 0xA5));
        {
            foundation::Thread worker([&] { whole = c.run(src.data(), dst.data()); });
        }
        EXPECT_TRUE(whole);
    }
}

} // namespace
