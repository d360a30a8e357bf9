#pragma once
// Drives a per-pixel effect over a one-row image of given colours, synchronously on the calling
// thread, and reads the result bytes back: from the working image at full size, from the preview
// buffer in a preview run. Header only.

#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"

#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

inline bool operator==(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ')';
}

// An input colour and the bytes the effect must make of it.
using PixelCase = std::pair<Rgb, Rgb>;

// The run must leave the working image alone in a preview run; both runs write only their own
// buffer (the sanitizers catch the rest).
inline std::vector<Rgb> runOverRow(PostProcess& effect, const std::vector<Rgb>& colours, bool preview) {
    PostProcess::global_clean();
    const int n = int(colours.size());
    const graphics::ImagePtr source = makeSourceImage(n, 1, [&](int x, int) { return colours[size_t(x)]; });
    effect.prepare(source);
    effect.set_silent_mode(true);
    effect.set_preview_mode(preview);
    effect.setIsSmallPreview(false);
    if (!PostProcess::global_pre_init(source)) return {};
    const std::vector<uint8_t> before(PostProcess::gp_data, PostProcess::gp_data + size_t(n) * 4);
    effect.process();

    std::vector<Rgb> out;
    const uint8_t* bytes = preview ? PostProcess::gp_preview_buf : PostProcess::gp_data;
    if (preview) {
        EXPECT_EQ(0, std::memcmp(before.data(), PostProcess::gp_data, before.size()))
            << "a preview run changed the working image";
        EXPECT_EQ(PostProcess::g_preview_step_x, 1);
    }
    for (int x = 0; x < n; ++x) {
        const uint8_t* p = bytes + size_t(x) * 4;
        out.push_back({p[1], p[2], p[3]});
    }
    PostProcess::global_clean();
    return out;
}

// Runs the table at full size and in preview and compares every byte.
inline void expectPixels(PostProcess& effect, const std::vector<PixelCase>& cases) {
    std::vector<Rgb> inputs;
    for (const PixelCase& c : cases)
        inputs.push_back(c.first);
    for (bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "full size");
        const std::vector<Rgb> out = runOverRow(effect, inputs, preview);
        ASSERT_EQ(out.size(), cases.size());
        for (size_t i = 0; i < cases.size(); ++i)
            EXPECT_EQ(out[i], cases[i].second) << "from " << cases[i].first;
    }
}

// A parameter's localised name, bounds and default; a missing one is expected as an empty name.
struct ParamSpec {
    std::string name;
    double min = 0, max = 0, def = 0;
};

inline void expectParameter(PostProcessParameter* p, const ParamSpec& spec, const char* which) {
    SCOPED_TRACE(which);
    if (spec.name.empty()) {
        EXPECT_EQ(p, nullptr);
        return;
    }
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->name(), spec.name);
    EXPECT_DOUBLE_EQ(p->min_value(), spec.min);
    EXPECT_DOUBLE_EQ(p->max_value(), spec.max);
    EXPECT_DOUBLE_EQ(p->default_value(), spec.def);
}
