// Effects whose passes are written through the levels of their colour: every byte is the one their
// pixel hook gives through the run loop's own per-pixel path.
#include "engine/LevelRows.h"
#include "engine/PostProcessParameter.h"
#include "engine/effects/colour/PP_BrighterImage.h"
#include "engine/effects/colour/PP_Invert.h"
#include "engine/effects/colour/PP_MoreContrast.h"
#include "engine/effects/colour/PP_Normalize.h"
#include "engine/effects/colour/PP_Solarization.h"

#include "support/StubEffects.h"

#include "platform/graphics/ParallelRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

struct LevelsProbe {
    bool gaveLevels = false;
};

// The effect as it is, noting whether its passes were given levels.
template <class Effect> class ByLevels final : public Effect, public LevelsProbe {
  public:
    bool channel_levels(ChannelLevels& levels) override {
        return gaveLevels = Effect::channel_levels(levels);
    }
};

// The same effect through the per-pixel path: its hook, the float colours and their conversion.
template <class Effect> class ByHook final : public Effect {
  public:
    bool channel_levels(ChannelLevels&) override { return false; }
};

// A colour that reaches every corner of the conversion: below 0, above 1, NaN, -0, exact levels and
// values a hair off them.
class OddColour : public LevelRows<OddColour> {
  public:
    pixel_t colour(const pixel_t& s) const {
        const float r = s.r * 1.7f - 0.35f;
        const float g = s.g > 0.3f && s.g < 0.4f ? std::numeric_limits<float>::quiet_NaN() : -s.g + 1.0f;
        const float b = s.b < 0.1f ? -0.0f : std::nextafter(s.b, s.b < 0.5f ? 0.0f : 2.0f);
        return {r, g, b};
    }
    bool pixels_are_independent() override { return true; }
};

enum class Mode { FullSize, Preview, Thumbnail };

struct Picture {
    int w, h;
    std::vector<uint8_t> bytes; // the working image's, alpha byte included
};

// Random colours; alpha random too, 0 on about one pixel in eight.
Picture randomPicture(int w, int h, uint32_t seed) {
    std::mt19937 random(seed);
    Picture p{w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 4)};
    for (size_t i = 0; i < p.bytes.size(); i += 4) {
        const uint32_t bits = random();
        p.bytes[i] = (bits & 7) == 0 ? 0 : uint8_t(1 + (bits >> 3) % 255);
        for (int c = 1; c < 4; ++c)
            p.bytes[i + size_t(c)] = uint8_t(random());
    }
    return p;
}

// Runs effect over the picture and answers what the run wrote: the working image at full size, the
// preview or thumbnail buffer otherwise (every step-th column and row). The caller holds a
// WorkingImageGuard.
std::vector<uint8_t> runOver(PostProcess& effect, const Picture& picture, Mode mode, int step) {
    PostProcess::global_clean();
    const graphics::ImagePtr image = makeSourceImage(picture.w, picture.h, patternColour);
    effect.prepare(image);
    if (!PostProcess::global_pre_init(image)) {
        ADD_FAILURE() << "no working image";
        return {};
    }
    std::memcpy(PostProcess::gp_data, picture.bytes.data(), picture.bytes.size());
    const int w = (picture.w - 1) / step + 1, h = (picture.h - 1) / step + 1;
    // The buffers were made for step 1 at these sizes, so they hold the smaller grid.
    if (mode == Mode::Preview) {
        PostProcess::g_preview_step_x = PostProcess::g_preview_step_y = step;
        PostProcess::g_preview_w = w;
        PostProcess::g_preview_h = h;
    } else if (mode == Mode::Thumbnail) {
        PostProcess::g_small_preview_step_x = PostProcess::g_small_preview_step_y = step;
        PostProcess::g_small_preview_w = w;
        PostProcess::g_small_preview_h = h;
    }
    effect.set_preview_mode(mode != Mode::FullSize);
    effect.setIsSmallPreview(mode == Mode::Thumbnail);
    effect.set_silent_mode(true);
    RunRecorder recorder;
    effect.process();
    EXPECT_EQ(recorder.named("EndProcess").size(), 1u);
    const uint8_t* out = mode == Mode::FullSize  ? PostProcess::gp_data
                         : mode == Mode::Preview ? PostProcess::gp_preview_buf
                                                 : PostProcess::gp_small_preview_buf;
    return {out, out + size_t(w) * size_t(h) * 4};
}

struct Look {
    std::string name;
    std::function<std::unique_ptr<PostProcess>(bool byLevels)> make;
    std::vector<double> values; // of the first slider; none for a look without one
};

template <class Effect> Look look(std::string name, std::vector<double> values) {
    return {std::move(name),
            [](bool byLevels) -> std::unique_ptr<PostProcess> {
                if (byLevels) return std::make_unique<ByLevels<Effect>>();
                return std::make_unique<ByHook<Effect>>();
            },
            std::move(values)};
}

// Every effect that takes the level path, at its slider's ends, its default and values between,
// over random pictures whose rows end inside, at and just past a chunk of the row loop, at full
// size, in preview and in thumbnails, on one thread and on several.
TEST(LevelRows, EveryEffectWritesTheBytesOfItsHook) {
    const std::vector<Look> looks = {
        look<PP_Normalize>("copy", {}),
        look<PP_BrighterImage>("brightness", {0.1, 0.77, 1.4, 3.0}),
        look<PP_Invert>("invert", {0.5, 1.0, 1.33, 2.0}),
        look<PP_Solarization>("solarize", {0.5, 1.0, 1.61, 2.0}),
        look<PP_MoreContrast>("contrast", {0.4, 1.5, 1.87, 2.0}),
        look<OddColour>("odd colour", {}),
    };
    struct Shape {
        int w, h;
        Mode mode;
        int step;
    };
    const std::vector<Shape> shapes = {
        {1, 1, Mode::FullSize, 1},    {63, 3, Mode::FullSize, 1},   {64, 2, Mode::FullSize, 1},
        {65, 3, Mode::FullSize, 1},   {129, 2, Mode::FullSize, 1},  {1031, 3, Mode::FullSize, 1},
        {131, 7, Mode::Preview, 2},   {389, 5, Mode::Preview, 3},   {130, 4, Mode::Preview, 2},
        {389, 9, Mode::Thumbnail, 3}, {256, 4, Mode::Thumbnail, 2},
    };
    WorkingImageGuard guard;
    for (const int threads : {1, 4}) {
        graphics::setParallelThreads(threads);
        for (const Look& l : looks)
            for (const std::optional<double> value :
                 l.values.empty() ? std::vector<std::optional<double>>{std::nullopt}
                                  : std::vector<std::optional<double>>(l.values.begin(), l.values.end()))
                for (size_t s = 0; s < shapes.size(); ++s) {
                    const Shape& shape = shapes[s];
                    SCOPED_TRACE(l.name + " " + (value ? std::to_string(*value) : "") + " shape " +
                                 std::to_string(s) + " threads " + std::to_string(threads));
                    const Picture picture = randomPicture(shape.w, shape.h, uint32_t(s * 31 + 7));
                    std::vector<uint8_t> outputs[2];
                    for (const bool byLevels : {false, true}) {
                        const std::unique_ptr<PostProcess> effect = l.make(byLevels);
                        if (value) effect->param_1()->setValue(*value);
                        outputs[byLevels] = runOver(*effect, picture, shape.mode, shape.step);
                        if (byLevels) EXPECT_TRUE(dynamic_cast<LevelsProbe&>(*effect).gaveLevels);
                    }
                    ASSERT_FALSE(outputs[0].empty());
                    int wrong = 0;
                    for (size_t i = 0; i < outputs[0].size(); ++i)
                        wrong += outputs[0][i] != outputs[1][i];
                    EXPECT_EQ(wrong, 0);
                }
    }
    graphics::setParallelThreads(0);
}

} // namespace
