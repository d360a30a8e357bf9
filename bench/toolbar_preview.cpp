// From a slider move in the editor's panels to the new preview, on a 16-megapixel photo: the
// parameter toolbar over each catalogue look with a slider, and the adjustments toolbar with three
// adjustments active. The move goes through the toolbar (slider value, parameter, render request);
// the render is the look's preview run, as the editor starts it.
#include "BenchApplication.h"
#include "LookBench.h"
#include "controls/KXJRVSlider.h"
#include "controls/KXSlider.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/FilterToolbarViewControllerDelegate.h"
#include "editor/SuperFilterToolbarViewController.h"
#include "editor/SuperFilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"

#include <QApplication>
#include <algorithm>
#include <cstdlib>

namespace {

using bench::application;

// Renders the look's preview whenever the toolbar asks, as the editor does.
struct PreviewRenderer : FilterToolbarViewControllerDelegate, SuperFilterToolbarViewControllerDelegate {
    PostProcess* effect = nullptr;
    void render() {
        effect->prepare(bench::lookSource());
        effect->set_silent_mode(true);
        effect->set_preview_mode(true);
        effect->process();
    }
    void slidersDidChange(FilterToolbarViewController*) override { render(); }
    void slidersDidChange(SuperFilterToolbarViewController*) override { render(); }
    void applyButtonDidClick(FilterToolbarViewController*) override {}
    void smallSizeClick(FilterToolbarViewController*) override {}
    void cancelButtonDidClick(FilterToolbarViewController*) override {}
    void drawButtonDidClick(FilterToolbarViewController*) override {}
    void hideMaskButtonDidClick(FilterToolbarViewController*) override {}
    void frameButtonClick(FilterToolbarViewController*) override {}
    graphics::ImagePtr imageForHistogram() override { return bench::lookSource(); }
    void applyButtonDidClick(SuperFilterToolbarViewController*) override {}
    void smallSizeClick(SuperFilterToolbarViewController*) override {}
    void cancelButtonDidClick(SuperFilterToolbarViewController*) override {}
    void drawButtonDidClick(SuperFilterToolbarViewController*) override {}
    void hideMaskButtonDidClick(SuperFilterToolbarViewController*) override {}
    void changeEnabledStateForCompareButton(bool) override {}
};

void BM_ParameterSliderToPreview(benchmark::State& state) {
    application();
    PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    PostProcess* effect = manager.postProcesses()[size_t(state.range(0))].get();
    state.SetLabel(effect->get_name());
    PostProcess::g_preview_quality = 2;
    PostProcess::global_clean();
    PostProcess::global_pre_init(bench::lookSource());
    PreviewRenderer renderer;
    renderer.effect = effect;
    FilterToolbarViewController toolbar;
    toolbar.setParam1(effect->param_1());
    toolbar.setParam2(effect->param_2());
    toolbar.setDelegate(&renderer);
    toolbar.updateSlidersParams();
    KXJRVSlider* slider = toolbar.firstSlider();
    bool up = true;
    for (auto _ : state) {
        const double span = slider->maxValue() - slider->minValue();
        slider->setDoubleValue(slider->minValue() + span * (up ? 0.7 : 0.3));
        up = !up;
        emit slider->action(slider);
    }
    PostProcess::global_clean();
}

void parameterisedLooks(benchmark::internal::Benchmark* benchmark) {
    const auto& looks = PostProcessesManager::sharedPostProcessesManager().postProcesses();
    for (size_t i = 0; i < looks.size(); ++i)
        if (looks[i]->param_1() && !looks[i]->isFrame()) benchmark->Arg(int64_t(i));
}

void BM_AdjustmentSliderToPreview(benchmark::State& state) {
    application();
    PostProcess::g_preview_quality = 2;
    PostProcess::global_clean();
    PostProcess::global_pre_init(bench::lookSource());
    PP_SuperFilter effect;
    std::vector<PostProcessParameter*> params;
    for (auto& p : effect.params())
        params.push_back(p.get());
    // Three adjustments active, as a user correcting a photo would have them.
    params[PP_SuperFilter::kContrast]->setValue(1.2);
    params[PP_SuperFilter::kSaturation]->setValue(1.3);
    params[PP_SuperFilter::kShadowAmount]->setValue(0.4);
    PreviewRenderer renderer;
    renderer.effect = &effect;
    SuperFilterToolbarViewController toolbar;
    toolbar.setParams(params);
    toolbar.setDelegate(&renderer);
    toolbar.validateSliders();
    KXSlider* contrast = toolbar.slider(SuperFilterToolbarViewController::kContrastSlider);
    bool up = true;
    for (auto _ : state) {
        contrast->setDoubleValue(up ? 1.25 : 1.15);
        params[PP_SuperFilter::kContrast]->setValue(contrast->doubleValue()); // what the editor reads back
        up = !up;
        emit contrast->action(contrast);
    }
    PostProcess::global_clean();
}

} // namespace

BENCHMARK(BM_ParameterSliderToPreview)
    ->Apply(parameterisedLooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_AdjustmentSliderToPreview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
