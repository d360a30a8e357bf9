// Catalogue looks whose per-pixel work was made faster, pinned to the bytes their plain formulas
// stored before: a full-size run (and a preview where the look draws its own reduced picture) on a
// picture made in code, hashed, on one thread and on four. A change of any byte changes the hash.
#include "engine/LookRegistry.h"
#include "engine/PostProcess.h"
#include "platform/graphics/ParallelRows.h"

#include "support/Checksum.h"
#include "support/EffectRun.h"
#include "support/ScopedValue.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// Soft gradients, a disc with a hard rim, dark and bright bands and grain: every grade curve, stroke
// texture and edge term sees lows, highs and steps.
Rgb photoLike(int x, int y, int width, int height) {
    const double u = double(x) / width, v = double(y) / height;
    const bool disc = std::hypot(u - 0.4, v - 0.5) < 0.25;
    const int grain = int((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 28) - 8;
    const auto ch = [grain](double c) { return uint8_t(std::clamp(int(c) + grain, 0, 255)); };
    const double band = (x / 97) % 3 == 0 ? -60.0 : 0.0;
    return {ch(30 + 200 * u + 40 * disc + band), ch(90 + 100 * std::sin(6 * v) * (disc ? 0 : 1) + band),
            ch(230 - 200 * v + 30 * std::cos(9 * u))};
}

struct PinnedLook {
    const char* name;
    const char* cls;
    int32_t type;
    int width, height;
    int previewStep; // 0: full size
    uint64_t hash;
};

// clang-format off
const PinnedLook kPinned[] = {
    {"Old TV",            "PP_ImageFilter",   3, 1301, 917, 0, 0xe1b35e08199520b1ull},
    {"Atlantic Beach",    "PP_ImageFilter",   4, 1301, 917, 0, 0x69e8f306840ac24bull},
    {"Socorro",           "PP_ImageFilter",   6, 1301, 917, 0, 0x80ab92a0a1aaf5dfull},
    {"Pen Sketch",        "PP_SketchC",       0, 1301, 917, 0, 0xcb11ce81e9c3df2dull},
    {"Pen Sketch, wide",  "PP_SketchC",       0, 3301, 241, 0, 0x501a1cf58b6e5b25ull},
    {"Comix Halftone",    "PP_ComixHalftone", 0, 1301, 917, 0, 0x84dff7c403cad42full},
    {"Comix preview",     "PP_ComixHalftone", 0, 1301, 917, 3, 0x14aaba1d0e4a5d7cull},
};
// clang-format on

TEST(LookBytes, FasterLooksStoreThePinnedBytesOnAnyThreadCount) {
    WorkingImageGuard guard;
    const ScopedValue<int32_t> quality(PostProcess::g_preview_quality, 1);
    for (const PinnedLook& look : kPinned) {
        SCOPED_TRACE(look.name);
        const LookClass* c = LookRegistry::find(look.cls);
        ASSERT_NE(c, nullptr);
        const int w = look.width, h = look.height;
        const graphics::ImagePtr image =
            makeSourceImage(w, h, [w, h](int x, int y) { return photoLike(x, y, w, h); });
        for (unsigned threads : {1u, 4u}) {
            graphics::setParallelThreads(threads);
            const std::unique_ptr<PostProcess> effect = c->make(look.type, 0);
            PostProcess::global_clean();
            const uint64_t hash = checksum(runEffect(*effect, image, look.previewStep).bytes);
            graphics::setParallelThreads(0);
            EXPECT_EQ(hash, look.hash) << threads << " threads: 0x" << std::hex << hash;
        }
    }
}

} // namespace
