#include "engine/PostProcessesManager.h"

#include "engine/LookRegistry.h"
#include "engine/PostProcess.h"
#include "kernels/blur/GaussianBlur.h"
#include "platform/coreimage/Filter.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UserDefaults.h"

#include <optional>

namespace {

// A row: the look of that type of a registered effect class.
PostProcessesManager::CatalogueEntry entry(const char* typeName, int32_t type = 0) {
    const LookClass* look = LookRegistry::find(typeName);
    return [look, type](int32_t index) { return look->make(type, index); };
}

} // namespace

PostProcessesManager& PostProcessesManager::sharedPostProcessesManager() {
    static PostProcessesManager shared(catalogueEntries());
    return shared;
}

const std::vector<PostProcessesManager::CatalogueEntry>& PostProcessesManager::catalogueEntries() {
    // In catalogue order: a look's position is its index, and presets and settings follow names.
    static const std::vector<CatalogueEntry> entries = {
        entry("PP_HFX_Avatar"),          // "Alien Skin"
        entry("PP_Bloom1", 0),           // "Glow Vivid Color"
        entry("PP_Effects_Bundle1", 7),  // "Grunge Rays"
        entry("PP_ColorModify", 4),      // "Hippie"
        entry("PP_ColorTemperature", 4), // "Warm Yellow"
        entry("PP_SketchE"),             // "Color Charcoal Sketch"
        entry("PP_Effects_Bundle1", 14), // "Napa"
        entry("PP_SketchF"),             // "Old Sketch"
        entry("PP_BrushStrokes", 0),     // "Brush Strokes"
        entry("PP_ImageFilter", 0),      // "Midway"
        entry("PP_ImageFilter", 1),      // "Rainbow Palette 1"
        entry("PP_ColorTemperature", 1), // "Cool Blue"
        entry("PP_HFX_Sparta"),          // "Sparta"
        entry("PP_Bloom1", 3),           // "Sepia Glow"
        entry("PP_Effects_Bundle2", 2),  // "Mars"
        entry("PP_ImageFilter", 2),      // "Ancient Canvas"
        entry("PP_Aged"),                // "Aged"
        entry("PP_ImageFilter", 3),      // "Old TV"
        entry("PP_ImageFilter", 4),      // "Atlantic Beach"
        entry("PP_BWGrained"),           // "B&W Grained"
        entry("PP_ImageFilter", 5),      // "Color Sunlight Spots"
        entry("PP_Effects_Bundle1", 12), // "Derby"
        entry("PP_SketchC"),             // "Pen Sketch"
        entry("PP_CS", 0),               // "Red Stroke"
        entry("PP_Effects_Bundle2", 1),  // "Sanibel"
        entry("PP_ImageFilter", 6),      // "Socorro"
        entry("PP_Effects_Bundle1", 13), // "Turin"
        entry("PP_HFX_Twilight"),        // "Twilight"
        entry("PP_ImageFilter", 7),      // "Vintage"
        entry("PP_ComixHalftone"),       // "Comix Halftone"
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
