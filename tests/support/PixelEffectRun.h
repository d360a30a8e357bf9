#pragma once
// Tables of input colours and the bytes an effect must make of them, run over a one-row image at
// full size and in preview; parameter expectations. Header only.

#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"

#include "support/EffectRun.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// An input colour and the bytes the effect must make of it.
using PixelCase = std::pair<Rgb, Rgb>;

// In a preview run the working image must stay as it was; both runs write only their own buffer
// (the sanitizers catch the rest).
inline std::vector<Rgb> runOverRow(PostProcess& effect, const std::vector<Rgb>& colours, bool preview) {
    PostProcess::global_clean();
    WorkingImageGuard guard;
    const int n = int(colours.size());
    const graphics::ImagePtr source = makeSourceImage(n, 1, [&](int x, int) { return colours[size_t(x)]; });
    const EffectOutput run = runEffect(effect, source, preview ? 1 : 0);
    if (preview) {
        EXPECT_EQ(workingImageBytes(), run.source) << "a preview run changed the working image";
    }
    std::vector<Rgb> out;
    for (int x = 0; x < run.w; ++x)
        out.push_back(run.at(x, 0));
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
