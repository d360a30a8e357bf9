// One row per look on a 16-megapixel picture (4900 x 3265, the default settings of each look):
//   full_ms      median of five full-size runs, from preparation to the installed result
//   full_ms_MP   the same per megapixel
//   preview_ms   median of five preview runs at the default preview quality ("High")
//   thumb_ms     median of five thumbnail (small-preview) runs
//   peak_B_px    the memory the process held at the peak of a full-size run, over what it held
//                before the working image was made, in bytes per working-image pixel
// The working image is rebuilt from the same source, untimed, before every full-size run. Looks
// join the table as rows of kLooks; a row without full size (the denoise looks take minutes there)
// gives 0 in full_ms and peak_B_px. Every look of the program's catalogue is a row, labelled
// "(catalogue)"; the catalogue's own rows follow those of the classes, in catalogue order.
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/BWGrained/PP_BWGrained.h"
#include "engine/effects/PP_3DEffect.h"
#include "engine/effects/PP_Aged.h"
#include "engine/effects/PP_Bloom1.h"
#include "engine/effects/PP_CS.h"
#include "engine/effects/PP_ColorHalftone.h"
#include "engine/effects/PP_ColorModify.h"
#include "engine/effects/PP_ColorTemperature.h"
#include "engine/effects/PP_ComixHalftone.h"
#include "engine/effects/PP_Denoise.h"
#include "engine/effects/PP_GaussianBlur.h"
#include "engine/effects/PP_GrayHalftone.h"
#include "engine/effects/PP_HFX_Avatar.h"
#include "engine/effects/PP_HFX_BWComics.h"
#include "engine/effects/PP_HFX_ColorComics.h"
#include "engine/effects/PP_HFX_Predator.h"
#include "engine/effects/PP_HFX_SinCity.h"
#include "engine/effects/PP_HFX_Sparta.h"
#include "engine/effects/PP_HFX_Twilight.h"
#include "engine/effects/PP_Mosaic.h"
#include "engine/effects/PP_Oilify.h"
#include "engine/effects/PP_Sharpen.h"
#include "engine/effects/PP_SmartPosterize.h"
#include "engine/effects/PP_SuperFilter.h"
#include "engine/effects/PP_ArtFilter3.h"
#include "engine/effects/PP_ArtFilter4.h"
#include "engine/effects/PP_ArtNoise.h"
#include "engine/effects/PP_ArtQuad.h"
#include "engine/effects/PP_BW.h"
#include "engine/effects/PP_BlackAndWhite.h"
#include "engine/effects/PP_Blur.h"
#include "engine/effects/PP_BrighterImage.h"
#include "engine/effects/PP_BurntColors.h"
#include "engine/effects/PP_Edges.h"
#include "engine/effects/PP_Eff1.h"
#include "engine/effects/PP_Explosion.h"
#include "engine/effects/PP_FalseMirror.h"
#include "engine/effects/PP_Gamma.h"
#include "engine/effects/PP_Hue.h"
#include "engine/effects/PP_Linocut.h"
#include "engine/effects/PP_LinocutInv.h"
#include "engine/effects/PP_Mosaic1.h"
#include "engine/effects/PP_OldCamera.h"
#include "engine/effects/PP_PencilPaint.h"
#include "engine/effects/PP_PencilPaint2.h"
#include "engine/effects/PP_RadialBlur.h"
#include "engine/effects/PP_SimmetryHorizontal.h"
#include "engine/effects/PP_SimmetryQuad.h"
#include "engine/effects/PP_SimmetryVertical.h"
#include "engine/effects/PP_TestScanner.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4900, kHeight = 3265;
constexpr int kRuns = 5;

struct Look {
    std::string id; // class and type
    std::function<std::unique_ptr<PostProcess>()> make;
    bool fullSize = true;
};

template <class Effect> Look look(const char* name, int32_t type = 0, bool fullSize = true) {
    return {std::string(name) + "/" + std::to_string(type),
            [type] {
                auto e = std::make_unique<Effect>();
                e->init({}, 0);
                e->set_type(type);
                return std::unique_ptr<PostProcess>(std::move(e));
            },
            fullSize};
}

std::string nameOf(const Look& look) {
    return look.make()->get_name();
}

// The catalogue's display names.
const std::set<std::string>& catalogueNames() {
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        for (const auto& entry : PostProcessesManager::catalogueEntries())
            out.insert(entry(0)->get_name());
        return out;
    }();
    return names;
}

// The catalogue looks that no row above stands for, made as the catalogue makes them.
void appendCatalogueLooks(std::vector<Look>& looks) {
    std::set<std::string> present;
    for (const Look& l : looks)
        present.insert(nameOf(l));
    for (const auto& entry : PostProcessesManager::catalogueEntries()) {
        const std::unique_ptr<PostProcess> effect = entry(0);
        if (present.count(effect->get_name())) continue;
        looks.push_back({effect->class_name() + "/" + effect->get_name(), [entry] { return entry(0); }});
    }
}

std::vector<Look> kLooks() {
    std::vector<Look> out;
    for (int t = 0; t <= 8; ++t)
        out.push_back(look<PP_ColorModify>("PP_ColorModify", t));
    for (int t = 0; t <= 5; ++t)
        out.push_back(look<PP_ColorTemperature>("PP_ColorTemperature", t));
    for (int t = 0; t <= 5; ++t)
        out.push_back(look<PP_CS>("PP_CS", t));
    for (int t = 0; t <= 5; ++t)
        out.push_back(look<PP_Bloom1>("PP_Bloom1", t));
    for (int t = 0; t <= 2; ++t)
        out.push_back(look<PP_GaussianBlur>("PP_GaussianBlur", t));
    out.push_back(look<PP_Aged>("PP_Aged"));
    out.push_back(look<PP_BWGrained>("PP_BWGrained"));
    out.push_back(look<PP_3DEffect>("PP_3DEffect"));
    out.push_back(look<PP_Sharpen>("PP_Sharpen"));
    out.push_back(look<PP_Denoise>("PP_Denoise", 0, false));
    out.push_back(look<PP_Oilify>("PP_Oilify"));
    out.push_back(look<PP_ColorHalftone>("PP_ColorHalftone"));
    out.push_back(look<PP_ComixHalftone>("PP_ComixHalftone"));
    out.push_back(look<PP_GrayHalftone>("PP_GrayHalftone"));
    out.push_back(look<PP_SmartPosterize>("PP_SmartPosterize"));
    out.push_back(look<PP_HFX_Avatar>("PP_HFX_Avatar"));
    out.push_back(look<PP_HFX_BWComics>("PP_HFX_BWComics"));
    out.push_back(look<PP_HFX_ColorComics>("PP_HFX_ColorComics"));
    out.push_back(look<PP_HFX_Predator>("PP_HFX_Predator"));
    out.push_back(look<PP_HFX_SinCity>("PP_HFX_SinCity"));
    out.push_back(look<PP_HFX_Sparta>("PP_HFX_Sparta"));
    out.push_back(look<PP_HFX_Twilight>("PP_HFX_Twilight"));
    out.push_back(look<PP_SuperFilter>("PP_SuperFilter"));
    for (int t = 0; t <= 9; ++t)
        out.push_back(look<PP_ArtQuad>("PP_ArtQuad", t));
    for (int t = 0; t <= 2; ++t)
        out.push_back(look<PP_Blur>("PP_Blur", t));
    out.push_back(look<PP_ArtFilter3>("PP_ArtFilter3"));
    out.push_back(look<PP_ArtFilter4>("PP_ArtFilter4"));
    out.push_back(look<PP_ArtNoise>("PP_ArtNoise"));
    out.push_back(look<PP_BlackAndWhite>("PP_BlackAndWhite"));
    out.push_back(look<PP_BrighterImage>("PP_BrighterImage"));
    out.push_back(look<PP_BurntColors>("PP_BurntColors"));
    out.push_back(look<PP_BW>("PP_BW"));
    for (int t = 0; t <= 5; ++t)
        out.push_back(look<PP_Edges>("PP_Edges", t));
    for (int t = 0; t <= 6; ++t)
        out.push_back(look<PP_FalseMirror>("PP_FalseMirror", t));
    out.push_back(look<PP_Explosion>("PP_Explosion"));
    out.push_back(look<PP_Gamma>("PP_Gamma"));
    for (int t = 0; t <= 6; ++t)
        out.push_back(look<PP_Hue>("PP_Hue", t));
    out.push_back(look<PP_Eff1>("PP_Eff1"));
    for (int t = 0; t <= 1; ++t)
        out.push_back(look<PP_Linocut>("PP_Linocut", t));
    out.push_back(look<PP_LinocutInv>("PP_LinocutInv"));
    for (int t = 0; t <= 3; ++t)
        out.push_back(look<PP_Mosaic1>("PP_Mosaic1", t));
    out.push_back(look<PP_OldCamera>("PP_OldCamera"));
    out.push_back(look<PP_PencilPaint>("PP_PencilPaint"));
    out.push_back(look<PP_PencilPaint2>("PP_PencilPaint2"));
    for (int t = 0; t <= 3; ++t)
        out.push_back(look<PP_RadialBlur>("PP_RadialBlur", t));
    out.push_back(look<PP_SimmetryHorizontal>("PP_SimmetryHorizontal"));
    out.push_back(look<PP_SimmetryVertical>("PP_SimmetryVertical"));
    out.push_back(look<PP_SimmetryQuad>("PP_SimmetryQuad"));
    out.push_back(look<PP_TestScanner>("PP_TestScanner"));
    out.push_back(look<PP_Mosaic>("PP_Mosaic"));
    appendCatalogueLooks(out);
    return out;
}

// Soft gradients, a few large shapes and grain.
const graphics::ImagePtr& source() {
    static const graphics::ImagePtr image = [] {
        std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint8_t* p = &px[(size_t(y) * kWidth + size_t(x)) * 4];
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                const double disc = std::hypot(u - 0.4, v - 0.5) < 0.25 ? 1.0 : 0.0;
                const int grain = int((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 28) - 8;
                const auto ch = [grain](double c) { return uint8_t(std::clamp(int(c) + grain, 0, 255)); };
                p[0] = ch(60 + 150 * u + 40 * disc);
                p[1] = ch(90 + 100 * std::sin(6 * v) * (1 - disc));
                p[2] = ch(200 - 120 * v + 30 * std::cos(9 * u));
                p[3] = 255;
            }
        return graphics::Image::copy(px.data(), kWidth, kHeight, size_t(kWidth) * 4, {});
    }();
    return image;
}

// Resident bytes now ("VmRSS") or at the peak since the last reset ("VmHWM").
double residentBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == std::string(key) + ":") {
            double kb = 0;
            status >> kb;
            return kb * 1024.0;
        }
    return 0.0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double secondsOf(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runLook(benchmark::State& state, const Look& look) {
    std::unique_ptr<PostProcess> effect = look.make();
    source();
    PostProcess::g_preview_quality = 2;
    std::vector<double> full, preview, thumb;
    double peak = 0.0;
    for (auto _ : state) {
        for (int i = 0; look.fullSize && i < kRuns; ++i) {
            PostProcess::global_clean();
            const double before = residentBytes("VmRSS");
            PostProcess::global_pre_init(source());
            effect->prepare(source());
            effect->set_silent_mode(true);
            resetPeak();
            full.push_back(secondsOf([&] { effect->process(); }));
            peak = std::max(peak, residentBytes("VmHWM") - before);
        }
        PostProcess::global_clean();
        PostProcess::global_pre_init(source());
        for (bool small : {false, true})
            for (int i = 0; i < kRuns; ++i) {
                effect->prepare(source());
                effect->set_silent_mode(true);
                effect->set_preview_mode(true);
                effect->setIsSmallPreview(small);
                (small ? thumb : preview).push_back(secondsOf([&] { effect->process(); }));
            }
        effect->setIsSmallPreview(false);
        PostProcess::global_clean();
    }
    const double fullMs = full.empty() ? 0.0 : median(full) * 1000.0;
    state.counters["full_ms"] = fullMs;
    state.counters["full_ms_MP"] = fullMs / (double(kWidth) * kHeight / 1e6);
    state.counters["preview_ms"] = median(preview) * 1000.0;
    state.counters["thumb_ms"] = median(thumb) * 1000.0;
    state.counters["peak_B_px"] = peak / (double(kWidth) * kHeight);
    const std::string name = effect->get_name();
    state.SetLabel(catalogueNames().count(name) ? name + " (catalogue)" : name);
}

const bool registered = [] {
    for (const Look& l : kLooks())
        benchmark::RegisterBenchmark(("Look/" + l.id).c_str(), [l](benchmark::State& s) { runLook(s, l); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    return true;
}();

} // namespace
