#include "engine/LookRegistry.h"

#include "engine/PostProcess.h"
#include "engine/effects/adjustments/PP_SuperFilter.h"
#include "engine/effects/blur/PP_Blur.h"
#include "engine/effects/blur/PP_Denoise.h"
#include "engine/effects/blur/PP_Explosion.h"
#include "engine/effects/blur/PP_GaussianBlur.h"
#include "engine/effects/blur/PP_RadialBlur.h"
#include "engine/effects/blur/PP_Sharpen.h"
#include "engine/effects/blur/PP_TestScanner.h"
#include "engine/effects/bundles/PP_Effects_Bundle1.h"
#include "engine/effects/bundles/PP_Effects_Bundle2.h"
#include "engine/effects/bundles/PP_ImageFilter.h"
#include "engine/effects/colour/PP_BW.h"
#include "engine/effects/colour/PP_BWGrained.h"
#include "engine/effects/colour/PP_BlackAndWhite.h"
#include "engine/effects/colour/PP_BrighterImage.h"
#include "engine/effects/colour/PP_BurntColors.h"
#include "engine/effects/colour/PP_CS.h"
#include "engine/effects/colour/PP_ColorModify.h"
#include "engine/effects/colour/PP_ColorTemperature.h"
#include "engine/effects/colour/PP_Gamma.h"
#include "engine/effects/colour/PP_Hue.h"
#include "engine/effects/colour/PP_Invert.h"
#include "engine/effects/colour/PP_LensFilter.h"
#include "engine/effects/colour/PP_LensFilter_Hard.h"
#include "engine/effects/colour/PP_LessColors.h"
#include "engine/effects/colour/PP_MoreColors.h"
#include "engine/effects/colour/PP_MoreContrast.h"
#include "engine/effects/colour/PP_NightVision.h"
#include "engine/effects/colour/PP_Normalize.h"
#include "engine/effects/colour/PP_Solarization.h"
#include "engine/effects/colour/PP_Tritone.h"
#include "engine/effects/colour/PP_Tritone2.h"
#include "engine/effects/colour/PP_XRay.h"
#include "engine/effects/distortion/PP_3DEffect.h"
#include "engine/effects/distortion/PP_ArtNoise.h"
#include "engine/effects/distortion/PP_FalseMirror.h"
#include "engine/effects/distortion/PP_SimmetryHorizontal.h"
#include "engine/effects/distortion/PP_SimmetryQuad.h"
#include "engine/effects/distortion/PP_SimmetryVertical.h"
#include "engine/effects/glow/PP_ArtFilter3.h"
#include "engine/effects/glow/PP_Bloom1.h"
#include "engine/effects/halftone/PP_ColorHalftone.h"
#include "engine/effects/halftone/PP_ComixHalftone.h"
#include "engine/effects/halftone/PP_GrayHalftone.h"
#include "engine/effects/hollywood/PP_HFX_Avatar.h"
#include "engine/effects/hollywood/PP_HFX_BWComics.h"
#include "engine/effects/hollywood/PP_HFX_ColorComics.h"
#include "engine/effects/hollywood/PP_HFX_Predator.h"
#include "engine/effects/hollywood/PP_HFX_SinCity.h"
#include "engine/effects/hollywood/PP_HFX_Sparta.h"
#include "engine/effects/hollywood/PP_HFX_Twilight.h"
#include "engine/effects/painterly/PP_ArtFilter4.h"
#include "engine/effects/painterly/PP_ArtQuad.h"
#include "engine/effects/painterly/PP_BrushStrokes.h"
#include "engine/effects/painterly/PP_Mosaic.h"
#include "engine/effects/painterly/PP_Mosaic1.h"
#include "engine/effects/painterly/PP_Oilify.h"
#include "engine/effects/painterly/PP_SmartPosterize.h"
#include "engine/effects/sketch/PP_Edges.h"
#include "engine/effects/sketch/PP_Linocut.h"
#include "engine/effects/sketch/PP_LinocutInv.h"
#include "engine/effects/sketch/PP_PencilPaint.h"
#include "engine/effects/sketch/PP_PencilPaint2.h"
#include "engine/effects/sketch/PP_SketchA.h"
#include "engine/effects/sketch/PP_SketchB.h"
#include "engine/effects/sketch/PP_SketchC.h"
#include "engine/effects/sketch/PP_SketchD.h"
#include "engine/effects/sketch/PP_SketchE.h"
#include "engine/effects/sketch/PP_SketchF.h"
#include "engine/effects/test/PP_Eff1.h"
#include "engine/effects/test/PP_NV1.h"
#include "engine/effects/texture/PP_OV_Frame.h"
#include "engine/effects/vintage/PP_Aged.h"
#include "engine/effects/vintage/PP_Effects_Bundle3.h"
#include "engine/effects/vintage/PP_OldCamera.h"
#include "engine/effects/vintage/PP_Sepia.h"

#include <algorithm>

namespace {

constexpr uint32_t kPerPixel = kLookDeterministic | kLookIndependentPixels;

// A class whose looks are made with init and, where it declares several, set_type.
template <class Effect> LookClass look(uint32_t flags, std::vector<int32_t> randomTypes = {}) {
    Effect probe;
    const int32_t variants = probe.look_count();
    return {probe.class_name(), variants, flags, std::move(randomTypes),
            [variants](int32_t type, int32_t index) -> std::unique_ptr<PostProcess> {
                auto effect = std::make_unique<Effect>();
                effect->init({}, index);
                if (variants > 1) effect->set_type(type);
                return effect;
            }};
}

// The texture-blend looks are configured through their own initialiser.
LookClass textureLooks() {
    return {"PP_ImageFilter",
            PP_ImageFilter::texture_look_count(),
            kPerPixel,
            {},
            [](int32_t type, int32_t index) -> std::unique_ptr<PostProcess> {
                auto effect = std::make_unique<PP_ImageFilter>();
                effect->init_texture_look(type, index);
                return effect;
            }};
}

std::vector<LookClass> makeClasses() {
    std::vector<LookClass> classes = {
        look<PP_BWGrained>(0),
        look<PP_3DEffect>(kPerPixel),
        look<PP_Aged>(kPerPixel),
        look<PP_ArtFilter3>(kPerPixel),
        look<PP_ArtFilter4>(kPerPixel),
        look<PP_ArtNoise>(0),
        look<PP_ArtQuad>(kPerPixel),
        look<PP_BW>(kPerPixel),
        look<PP_BlackAndWhite>(kPerPixel),
        look<PP_Bloom1>(kPerPixel),
        look<PP_Blur>(kPerPixel),
        look<PP_BrighterImage>(kPerPixel),
        look<PP_BrushStrokes>(kPerPixel),
        look<PP_BurntColors>(kPerPixel),
        look<PP_CS>(kPerPixel),
        look<PP_ColorHalftone>(kPerPixel),
        look<PP_ColorModify>(kPerPixel, {1}),
        look<PP_ColorTemperature>(kPerPixel),
        look<PP_ComixHalftone>(kPerPixel),
        look<PP_Denoise>(kPerPixel),
        look<PP_Edges>(kPerPixel),
        look<PP_Eff1>(kPerPixel),
        look<PP_Effects_Bundle1>(kPerPixel),
        look<PP_Effects_Bundle2>(kPerPixel, {0}),
        look<PP_Effects_Bundle3>(kLookDeterministic),
        look<PP_Explosion>(kPerPixel),
        look<PP_FalseMirror>(kPerPixel),
        look<PP_Gamma>(kPerPixel),
        look<PP_GaussianBlur>(kPerPixel),
        look<PP_GrayHalftone>(kPerPixel),
        look<PP_HFX_Avatar>(kPerPixel),
        look<PP_HFX_BWComics>(kPerPixel),
        look<PP_HFX_ColorComics>(kPerPixel),
        look<PP_HFX_Predator>(kPerPixel),
        look<PP_HFX_SinCity>(kPerPixel),
        look<PP_HFX_Sparta>(kPerPixel),
        look<PP_HFX_Twilight>(kPerPixel),
        look<PP_Hue>(kPerPixel),
        textureLooks(),
        look<PP_Invert>(kLookDeterministic),
        look<PP_LensFilter>(kLookDeterministic),
        look<PP_LensFilter_Hard>(kLookDeterministic),
        look<PP_LessColors>(kLookDeterministic),
        look<PP_Linocut>(kPerPixel),
        look<PP_LinocutInv>(kPerPixel),
        look<PP_MoreColors>(kLookDeterministic),
        look<PP_MoreContrast>(kLookDeterministic),
        // Draws its cells' jitter once per run, then reads it alone per pixel.
        look<PP_Mosaic>(kLookIndependentPixels),
        look<PP_Mosaic1>(kPerPixel),
        look<PP_NV1>(kLookDeterministic),
        look<PP_NightVision>(kLookDeterministic),
        look<PP_Normalize>(kLookDeterministic),
        look<PP_OV_Frame>(kLookDeterministic | kLookFrame),
        look<PP_Oilify>(kPerPixel),
        look<PP_OldCamera>(kPerPixel),
        look<PP_PencilPaint>(kPerPixel),
        look<PP_PencilPaint2>(kPerPixel),
        look<PP_RadialBlur>(kPerPixel),
        look<PP_Sepia>(kLookDeterministic),
        look<PP_Sharpen>(kPerPixel),
        look<PP_SimmetryHorizontal>(kPerPixel),
        look<PP_SimmetryQuad>(kPerPixel),
        look<PP_SimmetryVertical>(kPerPixel),
        look<PP_SketchA>(kPerPixel),
        look<PP_SketchB>(kPerPixel),
        look<PP_SketchC>(kPerPixel),
        look<PP_SketchD>(kPerPixel),
        look<PP_SketchE>(kPerPixel),
        look<PP_SketchF>(kPerPixel),
        look<PP_SmartPosterize>(kPerPixel),
        look<PP_Solarization>(kLookDeterministic),
        look<PP_SuperFilter>(kPerPixel | kLookAdjustments),
        look<PP_TestScanner>(kPerPixel),
        look<PP_Tritone>(kLookDeterministic),
        look<PP_Tritone2>(kLookDeterministic),
        look<PP_XRay>(kLookDeterministic),
    };
    std::sort(classes.begin(), classes.end(),
              [](const LookClass& a, const LookClass& b) { return a.typeName < b.typeName; });
    return classes;
}

} // namespace

uint32_t LookClass::flagsOf(int32_t type) const {
    if (std::find(randomTypes.begin(), randomTypes.end(), type) != randomTypes.end())
        return flags & ~(kLookDeterministic | kLookIndependentPixels);
    return flags;
}

const std::vector<LookClass>& LookRegistry::classes() {
    static const std::vector<LookClass> classes = makeClasses();
    return classes;
}

const LookClass* LookRegistry::find(const std::string& typeName) {
    for (const LookClass& c : classes())
        if (c.typeName == typeName) return &c;
    return nullptr;
}
