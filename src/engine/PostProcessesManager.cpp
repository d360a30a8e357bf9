#include "engine/PostProcessesManager.h"

#include "engine/PostProcess.h"
#include "engine/effects/BWGrained/PP_BWGrained.h"
#include "engine/effects/PP_Aged.h"
#include "engine/effects/PP_Bloom1.h"
#include "engine/effects/PP_BrushStrokes.h"
#include "engine/effects/PP_CS.h"
#include "engine/effects/PP_ColorModify.h"
#include "engine/effects/PP_ColorTemperature.h"
#include "engine/effects/PP_ComixHalftone.h"
#include "engine/effects/PP_Effects_Bundle1.h"
#include "engine/effects/PP_Effects_Bundle2.h"
#include "engine/effects/PP_HFX_Avatar.h"
#include "engine/effects/PP_HFX_Sparta.h"
#include "engine/effects/PP_HFX_Twilight.h"
#include "engine/effects/PP_ImageFilter.h"
#include "engine/effects/PP_SketchC.h"
#include "engine/effects/PP_SketchE.h"
#include "engine/effects/PP_SketchF.h"
#include "kernels/GaussianBlur.h"
#include "platform/coreimage/Filter.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UserDefaults.h"

#include <optional>

namespace {

// A row for an effect made with init and, where its class stands for several looks, set_type.
template <class Effect>
PostProcessesManager::CatalogueEntry plainEntry(std::optional<int32_t> type = std::nullopt) {
    return [type](int32_t index) -> std::unique_ptr<PostProcess> {
        auto effect = std::make_unique<Effect>();
        effect->init({}, index);
        if (type) effect->set_type(*type);
        return effect;
    };
}

// A texture-blend look: its own name, texture, blend mode and category.
PostProcessesManager::CatalogueEntry textureEntry(const char* name, const char* category, const char* texture,
                                                  int32_t mode) {
    return [=](int32_t index) -> std::unique_ptr<PostProcess> {
        auto effect = std::make_unique<PP_ImageFilter>();
        effect->init({}, name, texture, mode, index, category);
        return effect;
    };
}

} // namespace

PostProcessesManager& PostProcessesManager::sharedPostProcessesManager() {
    static PostProcessesManager shared(catalogueEntries());
    return shared;
}

const std::vector<PostProcessesManager::CatalogueEntry>& PostProcessesManager::catalogueEntries() {
    // In catalogue order: a look's position is its index, and presets and settings follow names.
    static const std::vector<CatalogueEntry> entries = {
        plainEntry<PP_HFX_Avatar>(),        // "Alien Skin"
        plainEntry<PP_Bloom1>(0),           // "Glow Vivid Color"
        plainEntry<PP_Effects_Bundle1>(7),  // "Grunge Rays"
        plainEntry<PP_ColorModify>(4),      // "Hippie"
        plainEntry<PP_ColorTemperature>(4), // "Warm Yellow"
        plainEntry<PP_SketchE>(),           // "Color Charcoal Sketch"
        plainEntry<PP_Effects_Bundle1>(14), // "Napa"
        plainEntry<PP_SketchF>(),           // "Old Sketch"
        plainEntry<PP_BrushStrokes>(0),     // "Brush Strokes"
        textureEntry("Midway", "Cross Processed", "Crosspro-3.jpg", 16),
        textureEntry("Rainbow Palette 1", "Color Fantasy", "pf_render_palette1.jpg", 16),
        plainEntry<PP_ColorTemperature>(1), // "Cool Blue"
        plainEntry<PP_HFX_Sparta>(),        // "Sparta"
        plainEntry<PP_Bloom1>(3),           // "Sepia Glow"
        plainEntry<PP_Effects_Bundle2>(2),  // "Mars"
        textureEntry("Ancient Canvas", "Vintage", "pf_ancient_canvas1.jpg", 1),
        plainEntry<PP_Aged>(), // "Aged"
        textureEntry("Old TV", "Vintage", "pf_oldtv1.jpg", 4),
        textureEntry("Atlantic Beach", "Cross Processed", "Crosspro-5.jpg", 29),
        plainEntry<PP_BWGrained>(), // "B&W Grained"
        textureEntry("Color Sunlight Spots", "Color Fantasy", "pf_color_sunlight_spots.jpg", 19),
        plainEntry<PP_Effects_Bundle1>(12), // "Derby"
        plainEntry<PP_SketchC>(),           // "Pen Sketch"
        plainEntry<PP_CS>(0),               // "Red Stroke"
        plainEntry<PP_Effects_Bundle2>(1),  // "Sanibel"
        textureEntry("Socorro", "Cross Processed", "Crosspro-5.jpg", 35),
        plainEntry<PP_Effects_Bundle1>(13), // "Turin"
        plainEntry<PP_HFX_Twilight>(),      // "Twilight"
        textureEntry("Vintage", "Vintage", "pf_vintage_2.jpg", 11),
        plainEntry<PP_ComixHalftone>(), // "Comix Halftone"
    };
    return entries;
}

PostProcessesManager::PostProcessesManager(const std::vector<CatalogueEntry>& entries) {
    // Effects blur through the shared table from their worker threads, which only read it.
    GaussianBlur::sharedGaussianBlur();
    _postProcesses.reserve(entries.size());
    for (const CatalogueEntry& entry : entries)
        _postProcesses.push_back(entry(int32_t(_postProcesses.size())));
    loadFavorites();
    startObservingRuns();
}

PostProcessesManager::~PostProcessesManager() {
    stopRuns();
}

std::vector<PostProcess*> PostProcessesManager::nonFrameProcesses() const {
    std::vector<PostProcess*> effects;
    effects.reserve(20);
    for (const auto& effect : _postProcesses)
        if (!effect->isFrame()) effects.push_back(effect.get());
    return effects;
}

PostProcess* PostProcessesManager::postProcessWithName(const std::string& name) const {
    const std::size_t dot = name.find('.');
    const std::string wanted = dot == std::string::npos ? name : name.substr(dot + 1);
    for (const auto& effect : _postProcesses)
        if (effect->get_name() == wanted) return effect.get();
    return nullptr;
}

void PostProcessesManager::loadFavorites() {
    const foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    for (const auto& effect : _postProcesses)
        effect->set_fav(defaults.boolForKey(effect->get_name() + "_fav"));
}

coreimage::ImagePtr PostProcessesManager::scaledImageFromImage(const coreimage::ImagePtr& image,
                                                               double scale) {
    return scaledImageFromImage(image, scale, scale);
}

coreimage::ImagePtr PostProcessesManager::scaledImageFromImage(const coreimage::ImagePtr& image,
                                                               double scaleX, double scaleY) {
    coreimage::FilterPtr filter = coreimage::Filter::filterWithName("CIAffineTransform");
    filter->setValue("inputImage", image);
    filter->setValue("inputTransform", graphics::AffineTransform::makeScale(scaleX, scaleY));
    return filter->outputImage();
}
