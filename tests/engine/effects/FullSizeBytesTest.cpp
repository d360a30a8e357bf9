// The full-size bytes of the looks that draw a whole picture before their pixel loop, pinned as
// checksums of one picture made in code: how and where a look keeps that picture may change, its
// bytes may not. Each look runs twice in a row, so that the second run writes into the spare the
// first left behind. Those that draw into the run's output buffer leave the spare alone in preview.
#include "engine/LookRegistry.h"
#include "kernels/Random.h"
#include "support/Checksum.h"
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

TEST(FullSizeBytes, LooksWithAWholePictureKeepTheirBytes) {
    struct Case {
        const char* typeName;
        int32_t type;
        uint64_t first, second; // checksums of the first run and of the run over its result
    };
    const Case cases[] = {
        {"PP_ArtFilter3", 0, 0x18c424de3665c411ull, 0x6fbb7cef83989c04ull},
        {"PP_Bloom1", 0, 0x8ae8e11e67a51729ull, 0x73bfe7c5b76c5fd6ull},
        {"PP_Bloom1", 1, 0x35830cb27b113d57ull, 0xd2d91e1455124bcdull},
        {"PP_Bloom1", 2, 0x9ebe9f2e82cb126cull, 0x2ec38cb220ab970eull},
        {"PP_Bloom1", 3, 0x7a1bac3d2e372bb6ull, 0x4c7a8b2b78816a47ull},
        {"PP_Bloom1", 4, 0x506df72a80c8574cull, 0xf0ba07212b7eadd0ull},
        {"PP_Bloom1", 5, 0x4959132f65aca140ull, 0x7b2bc93a2af1ebf3ull},
        {"PP_ColorHalftone", 0, 0xacc62c3d110ab90bull, 0x14fea6afdebe617bull},
        {"PP_GrayHalftone", 0, 0xb8ffa70baadbd47bull, 0x342a03653c1aed63ull},
        {"PP_SmartPosterize", 0, 0x591b8bfc41230672ull, 0x63d747ab19ba26fcull},
        {"PP_Oilify", 0, 0x0583bcca5a912fcfull, 0xc158e7ff7bfe13b0ull},
        {"PP_LinocutInv", 0, 0xeef67ccd06c5fc42ull, 0xb821604e1ec42d32ull},
        {"PP_Mosaic", 0, 0x392d1df1d41f55deull, 0x5d642b2ad4907c08ull},
        {"PP_BrushStrokes", 0, 0xc01de734eb125e7eull, 0xb974ae644c4a94ceull},
        {"PP_BrushStrokes", 1, 0x29459b5560e26421ull, 0xcd470dd1744ef012ull},
        {"PP_SketchF", 0, 0x0f1e76c554d32b28ull, 0x6a487d3af5570369ull},
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
        EXPECT_EQ(checksum(first.bytes), c.first);
        EXPECT_EQ(checksum(second.bytes), c.second);
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
