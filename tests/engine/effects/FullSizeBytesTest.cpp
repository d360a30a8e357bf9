// The full-size bytes of the looks that draw a whole picture before their pixel loop, pinned as
// checksums of one picture made in code: how and where a look keeps that picture may change, its
// bytes may not. Each look runs twice in a row, so that the second run writes into the spare the
// first left behind. Those that draw into the run's output buffer leave the spare alone in preview.
#include "engine/LookRegistry.h"
#include "kernels/Random.h"
#include "support/EffectRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// Soft gradients, a disc and grain, at a size no radius of these looks covers.
graphics::ImagePtr picture() {
    return makeSourceImage(181, 137, [](int x, int y) {
        const double u = x / 181.0, v = y / 137.0;
        const bool disc = std::hypot(u - 0.4, v - 0.5) < 0.25;
        const int grain = int((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 28) - 8;
        const auto ch = [grain](double c) { return uint8_t(std::clamp(int(c) + grain, 0, 255)); };
        return Rgb{ch(60 + 150 * u + (disc ? 40 : 0)), ch(90 + 100 * std::sin(6 * v) * (disc ? 0 : 1)),
                   ch(200 - 120 * v + 30 * std::cos(9 * u))};
    });
}

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

TEST(FullSizeBytes, LooksWithAWholePictureKeepTheirBytes) {
    struct Case {
        const char* typeName;
        int32_t type;
        uint64_t first, second; // checksums of the first run and of the run over its result
    };
    const Case cases[] = {
        {"PP_ArtFilter3", 0, 0x27bf387ed7513833ull, 0xdde99de6ab21eef6ull},
        {"PP_Bloom1", 0, 0xe88ff1ffe7fac323ull, 0x168a4f8781bc7dc0ull},
        {"PP_Bloom1", 1, 0x1b8e2d048172cb89ull, 0x4011a3f88c94be43ull},
        {"PP_Bloom1", 2, 0x91d8f789cf3379caull, 0xc0619c27e01016b8ull},
        {"PP_Bloom1", 3, 0x4d30d080862b7264ull, 0x98ed30caae70ef01ull},
        {"PP_Bloom1", 4, 0x92ad3693aaf260b6ull, 0x5cb3316837492792ull},
        {"PP_Bloom1", 5, 0x9df3ff7f58afbb0eull, 0x9139aded0e1ba835ull},
        {"PP_ColorHalftone", 0, 0x1b533abd163cad19ull, 0x0e4c3918f6e77351ull},
        {"PP_GrayHalftone", 0, 0x7d3cbe1917aa4a2dull, 0xdd5428bd86a1f751ull},
        {"PP_SmartPosterize", 0, 0xd0e8d2c42cbf7db0ull, 0xdddb0740d777f5a2ull},
        {"PP_Oilify", 0, 0x60271ad0eef65be1ull, 0x6f58a655d2700deaull},
        {"PP_LinocutInv", 0, 0x341cb7958b8a7c84ull, 0x2e37196e90843574ull},
        {"PP_Mosaic", 0, 0xa74238d758e144a4ull, 0xadd1e5cf6d3c8eeaull},
        {"PP_BrushStrokes", 0, 0x3975605357a46d2cull, 0xd3c026b7d19a2a80ull},
        {"PP_BrushStrokes", 1, 0xeae64b8f0c70afd3ull, 0xd836c6cbb7aca7b0ull},
        {"PP_SketchF", 0, 0x6391ec1d9890030eull, 0xa8fad3d3ac365d9full},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.typeName) + "/" + std::to_string(c.type);
        SCOPED_TRACE(name);
        const LookClass* look = LookRegistry::find(c.typeName);
        ASSERT_NE(look, nullptr);
        WorkingImageGuard guard;
        const Random::Scoped seeded(86);
        const graphics::ImagePtr image = picture();
        auto effect = look->make(c.type, 0);
        const EffectOutput first = runEffect(*effect, image);
        const EffectOutput second = runEffect(*effect, image);
        EXPECT_EQ(fnv1a(first.bytes), c.first);
        EXPECT_EQ(fnv1a(second.bytes), c.second);
    }
}

// After a full-size run the spare holds the photo, which the next run over it takes back; a
// preview, which has no output buffer of its own, must not draw into the spare.
TEST(FullSizeBytes, PreviewsLeaveTheSpareAlone) {
    const char* looks[] = {"PP_ArtFilter3", "PP_Bloom1", "PP_ColorHalftone", "PP_GrayHalftone",
                           "PP_Oilify",     "PP_Mosaic", "PP_SmartPosterize"};
    for (const char* typeName : looks) {
        SCOPED_TRACE(typeName);
        WorkingImageGuard guard;
        const graphics::ImagePtr image = picture();
        auto effect = LookRegistry::find(typeName)->make(0, 0);
        const EffectOutput full = runEffect(*effect, image);
        runEffect(*effect, image, 1);
        effect->set_preview_mode(false);
        ASSERT_TRUE(PostProcess::restore_source(image));
        EXPECT_TRUE(workingImageBytes() == full.source);
    }
}

} // namespace
