// The registry of effect classes: every catalogue look comes from it, every registered class makes
// each of its looks as declared, and the declarations (names, categories, sliders) stay as built.
#include "engine/LookRegistry.h"

#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Slider {
    const char* name; // null: no slider
    double min, max, def;
};

struct Declaration {
    const char* typeName;
    int32_t type; // the class's look count stands for the placeholder of a type outside its table
    const char* name;
    const char* category;
    Slider p1, p2;
};

// As built: every look of every registered class, then the placeholder a type just past the table
// answers (texture looks have none: they are configured, not typed).
// clang-format off
const Declaration kDeclarations[] = {
    {"PP_3DEffect", 0, "3D Effect", "SFX", {"Amount", 0.0, 1.0, 0.5}, {}},
    {"PP_3DEffect", 1, "3D Effect", "SFX", {"Amount", 0.0, 1.0, 0.5}, {}},
    {"PP_Aged", 0, "Aged", "Vintage", {"Contrast", -0.75, 0.5, -0.0625}, {}},
    {"PP_Aged", 1, "Aged", "Vintage", {"Contrast", -0.75, 0.5, -0.0625}, {}},
    {"PP_ArtFilter3", 0, "Neon Light", "Glow", {"Brightness", 1.0, 5.0, 3.4}, {"Blur", 0.5, 1.0, 0.7}},
    {"PP_ArtFilter3", 1, "Neon Light", "Glow", {"Brightness", 1.0, 5.0, 3.4}, {"Blur", 0.5, 1.0, 0.7}},
    {"PP_ArtFilter4", 0, "Posterize", "Art", {"Amount", 2.0, 8.0, 5.0}, {}},
    {"PP_ArtFilter4", 1, "Posterize", "Art", {"Amount", 2.0, 8.0, 5.0}, {}},
    {"PP_ArtNoise", 0, "Noise", "SFX", {"Amount", 1.0, 40.0, 4.8}, {"Gamma", 0.0, 0.6, 0.2}},
    {"PP_ArtNoise", 1, "Noise", "SFX", {"Amount", 1.0, 40.0, 4.8}, {"Gamma", 0.0, 0.6, 0.2}},
    {"PP_ArtQuad", 0, "Art Quad 1", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 1, "Art Quad 2", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 2, "Art Quad 3", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 3, "Art Quad 4", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 4, "Art Quad 5", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 5, "Art Quad 6", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 6, "Art Quad 7", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 7, "Art Quad 8", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 8, "Art Quad 9", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 9, "Art Quad 10", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_ArtQuad", 10, "none", "Art Quads", {"Width", 5.0, 30.0, 10.0}, {}},
    {"PP_BW", 0, "Black and White", "Black&White", {"Contrast", 0.5, 5.0, 4.0}, {"Brightness", 1.0, 5.0, 3.0}},
    {"PP_BW", 1, "Black and White", "Black&White", {"Contrast", 0.5, 5.0, 4.0}, {"Brightness", 1.0, 5.0, 3.0}},
    {"PP_BWGrained", 0, "B&W Grained", "Black&White", {"Grain", 0.0, 1.0, 0.2800000011920929}, {"Contrast", 0.0, 1.0, 0.550000011920929}},
    {"PP_BWGrained", 1, "B&W Grained", "Black&White", {"Grain", 0.0, 1.0, 0.2800000011920929}, {"Contrast", 0.0, 1.0, 0.550000011920929}},
    {"PP_BlackAndWhite", 0, "Grayscale", "Black&White", {"Contrast", 0.4, 2.0, 1.0}, {}},
    {"PP_BlackAndWhite", 1, "Grayscale", "Black&White", {"Contrast", 0.4, 2.0, 1.0}, {}},
    {"PP_Bloom1", 0, "Glow Vivid Color", "Glow", {"Brightness", 0.1, 1.0, 0.6}, {"Glow Amount", 0.1, 1.0, 0.76}},
    {"PP_Bloom1", 1, "Glow Grayscale", "Glow", {"Brightness", 0.1, 1.0, 0.7}, {"Glow Amount", 0.1, 1.0, 0.4}},
    {"PP_Bloom1", 2, "Glowing Edges", "Glow", {"Brightness", 0.1, 1.0, 0.7}, {"Glow Amount", 0.1, 1.0, 0.6}},
    {"PP_Bloom1", 3, "Sepia Glow", "Glow", {"Brightness", 0.1, 1.0, 0.784}, {"Glow Amount", 0.1, 1.0, 0.6}},
    {"PP_Bloom1", 4, "Yellow Glow", "Glow", {"Brightness", 0.1, 1.0, 0.7}, {"Glow Amount", 0.1, 1.0, 0.6}},
    {"PP_Bloom1", 5, "Pink Glow", "Glow", {"Brightness", 0.1, 1.0, 0.7}, {"Glow Amount", 0.1, 1.0, 0.6}},
    {"PP_Bloom1", 6, "none", "Glow", {}, {}},
    {"PP_Blur", 0, "Blur", "Blur", {"Amount", 0.05, 1.0, 0.5}, {}},
    {"PP_Blur", 1, "Horizontal Blur", "Blur", {"Amount", 0.05, 1.0, 0.5}, {}},
    {"PP_Blur", 2, "Vertical Blur", "Blur", {"Amount", 0.05, 1.0, 0.5}, {}},
    {"PP_Blur", 3, "none", "Blur", {"Amount", 0.05, 1.0, 0.5}, {}},
    {"PP_BrighterImage", 0, "Brightness", "Trash", {"Brightness", 0.1, 3.0, 1.4}, {}},
    {"PP_BrighterImage", 1, "Brightness", "Trash", {"Brightness", 0.1, 3.0, 1.4}, {}},
    {"PP_BrushStrokes", 0, "Brush Strokes", "Art", {"Scale", 0.4, 2.5, 0.421}, {"Contrast", 1.15, 3.0, 1.631}},
    {"PP_BrushStrokes", 1, "Brush Strokes Vivid", "Art", {"Scale", 0.4, 2.5, 0.421}, {}},
    {"PP_BrushStrokes", 2, "None", "None", {"Scale", 0.4, 2.5, 0.421}, {}},
    {"PP_BurntColors", 0, "Burnt Colors", "Color Fantasy", {"Amount", 0.3, 1.5, 1.0}, {"Brightness", 0.0, 0.5, 0.0}},
    {"PP_BurntColors", 1, "Burnt Colors", "Color Fantasy", {"Amount", 0.3, 1.5, 1.0}, {"Brightness", 0.0, 0.5, 0.0}},
    {"PP_CS", 0, "Red Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 3.08}, {"Color Range", 0.6, 1.4, 1.16}},
    {"PP_CS", 1, "Green Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_CS", 2, "Blue Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_CS", 3, "Yellow Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_CS", 4, "Magenta Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_CS", 5, "Cyan Stroke", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_CS", 6, "CS", "Color Strokes", {"Saturation", 1.7, 4.0, 2.1}, {"Color Range", 0.6, 1.4, 1.0}},
    {"PP_ColorHalftone", 0, "Color Halftone", "Art", {"Size", 0.0, 0.3, 0.10000000149011612}, {}},
    {"PP_ColorHalftone", 1, "Color Halftone", "Art", {"Size", 0.0, 0.3, 0.10000000149011612}, {}},
    {"PP_ColorModify", 0, "Color Reprint", "Art", {"Amount", 0.7, 2.0, 1.0}, {}},
    {"PP_ColorModify", 1, "Abstract Contours", "Art", {"Scale", 2.0, 20.0, 4.0}, {}},
    {"PP_ColorModify", 2, "B&W Magazine", "Black&White", {"Contrast", 1.2, 3.0, 1.7}, {}},
    {"PP_ColorModify", 3, "Amsterdam", "Photo Styles", {"Contrast", 1.2, 3.0, 1.7}, {"Saturation", 0.1, 0.7, 0.5}},
    {"PP_ColorModify", 4, "Hippie", "Photo Styles", {"Contrast", 1.2, 3.0, 1.506}, {"Saturation", 1.0, 3.0, 1.5}},
    {"PP_ColorModify", 5, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}},
    {"PP_ColorModify", 6, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}},
    {"PP_ColorModify", 7, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}},
    {"PP_ColorModify", 8, "none", "none", {"Scale", 1.5, 3.0, 2.0}, {}},
    {"PP_ColorModify", 9, "none", "none", {}, {}},
    {"PP_ColorTemperature", 0, "Cold Blue", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 1, "Cool Blue", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 2, "Cool", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 3, "Warm", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 4, "Warm Yellow", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 5, "Hot Yellow", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ColorTemperature", 6, "none", "Color Temperature", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ComixHalftone", 0, "Comix Halftone", "Art", {"Colors", 0.0, 1.0, 0.8100000023841858}, {"Size", 0.0, 1.0, 0.699999988079071}},
    {"PP_ComixHalftone", 1, "Comix Halftone", "Art", {"Colors", 0.0, 1.0, 0.8100000023841858}, {"Size", 0.0, 1.0, 0.699999988079071}},
    {"PP_Denoise", 0, "Denoise", "Denoise", {"Amount", 0.0, 10.0, 1.0}, {}},
    {"PP_Denoise", 1, "Denoise", "Denoise", {"Amount", 0.0, 10.0, 1.0}, {}},
    {"PP_Edges", 0, "Dark Contours on White", "Trash", {"Amount", 2.0, 8.0, 3.0}, {"Contrast", 0.2, 2.0, 1.0}},
    {"PP_Edges", 1, "Color Contours on Black", "Trash", {"Amount", 2.0, 8.0, 3.0}, {"Brightness", 2.0, 20.0, 8.0}},
    {"PP_Edges", 2, "Dark Engraving", "Art", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
    {"PP_Edges", 3, "Art Contours", "Trash", {"Brightness", 3.0, 25.0, 7.0}, {}},
    {"PP_Edges", 4, "Bumpmapping", "SFX", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
    {"PP_Edges", 5, "Bumpmapping 2", "SFX", {"Amount", 1.0, 5.0, 2.0}, {"Background", 0.0, 0.7, 0.5}},
    {"PP_Edges", 6, "none", "none", {}, {}},
    {"PP_Eff1", 0, "Test1", "Test", {"Amount", 0.0, 1.0, 1.0}, {}},
    {"PP_Eff1", 1, "Test1", "Test", {"Amount", 0.0, 1.0, 1.0}, {}},
    {"PP_Effects_Bundle1", 0, "Stencil Poster Red", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 1, "Stencil Poster Blue", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 2, "Stencil Poster Green", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 3, "Stencil Poster", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 4, "Grunge Rays Sepia", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 5, "Grunge Rays Blue", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 6, "Grunge Rays Green", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 7, "Grunge Rays", "Grunge", {"Contrast", 1.0, 20.0, 7.65}, {"Brightness", 0.0, 0.4, 0.188}},
    {"PP_Effects_Bundle1", 8, "Stencil Graffiti Black", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 9, "Stencil Graffiti Red", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 10, "Stencil Graffiti Green", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 11, "Stencil Graffiti Blue", "Grunge", {"Contrast", 1.0, 20.0, 10.0}, {"Brightness", 0.0, 0.4, 0.0}},
    {"PP_Effects_Bundle1", 12, "Derby", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.18}, {"Overlay", 0.5, 0.9, 0.755}},
    {"PP_Effects_Bundle1", 13, "Turin", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 2.0}, {}},
    {"PP_Effects_Bundle1", 14, "Napa", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.54}, {"Color", 0.2, 0.9, 0.4}},
    {"PP_Effects_Bundle1", 15, "Ancona", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 2.2}, {"Brightness", 1.0, 3.0, 2.0}},
    {"PP_Effects_Bundle1", 16, "Bilbao", "Groovy Lo-Fi", {"Amount", 1.0, 3.0, 1.4}, {}},
    {"PP_Effects_Bundle1", 17, "Ensley", "Groovy Lo-Fi", {"Contrast", 1.0, 8.0, 2.4}, {"Brightness", 0.2, 1.5, 0.5}},
    {"PP_Effects_Bundle1", 18, "Lantana", "Groovy Lo-Fi", {"Contrast", 1.5, 4.0, 2.5}, {}},
    {"PP_Effects_Bundle1", 19, "Test1", "Test", {}, {}},
    {"PP_Effects_Bundle2", 0, "Night Vision Cam", "SFX", {"Brightness", 1.0, 3.0, 1.5}, {}},
    {"PP_Effects_Bundle2", 1, "Sanibel", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.2}, {"Brightness", 0.0, 0.5, 0.3}},
    {"PP_Effects_Bundle2", 2, "Mars", "Photo Styles", {"Contrast", 1.0, 10.0, 4.0}, {}},
    {"PP_Effects_Bundle2", 3, "Griffin", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.2}, {"Brightness", 0.0, 0.5, 0.2}},
    {"PP_Effects_Bundle2", 4, "PP_NV1", "Test", {}, {}},
    {"PP_Effects_Bundle3", 0, "Kenai", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 1.3}, {"Color", 0.1, 0.9, 0.5}},
    {"PP_Effects_Bundle3", 1, "Noir Blue", "Photo Styles", {"Contrast", 1.2, 2.5, 1.3}, {"Color", 0.1, 0.9, 0.5}},
    {"PP_Effects_Bundle3", 2, "Conley", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 2.25}, {"Color", 0.1, 0.9, 0.575}},
    {"PP_Effects_Bundle3", 3, "Noir Red", "Photo Styles", {"Contrast", 1.2, 2.7, 2.0}, {"Color", 0.15, 0.6, 0.5}},
    {"PP_Effects_Bundle3", 4, "Noir Sepia", "Photo Styles", {"Contrast", 0.7, 2.0, 1.0}, {"Color", 0.05, 0.5, 0.3}},
    {"PP_Effects_Bundle3", 5, "Tokyo", "Groovy Lo-Fi", {"Contrast", 1.0, 3.0, 1.7}, {"Color", 0.6, 2.9, 1.5}},
    {"PP_Effects_Bundle3", 6, "Dixon", "Groovy Lo-Fi", {"Contrast", 0.7, 2.5, 1.8}, {}},
    {"PP_Effects_Bundle3", 7, "tmp", "Groovy Lo-Fi", {}, {}},
    {"PP_Explosion", 0, "Explosion", "Blur", {"Amount", 2.0, 10.0, 5.0}, {"Radius", 1.0, 10.0, 5.0}},
    {"PP_Explosion", 1, "Explosion", "Blur", {"Amount", 2.0, 10.0, 5.0}, {"Radius", 1.0, 10.0, 5.0}},
    {"PP_FalseMirror", 0, "False Mirror 1", "Distortion", {"Distortion", 0.6, 2.0, 1.0}, {"Frequency", 0.5, 1.5, 1.0}},
    {"PP_FalseMirror", 1, "False Mirror 2", "Distortion", {"Distortion", 0.5, 1.4, 1.0}, {}},
    {"PP_FalseMirror", 2, "False Mirror 3", "Distortion", {"Distortion", 0.6, 2.0, 1.0}, {"Frequency", 0.5, 1.5, 1.0}},
    {"PP_FalseMirror", 3, "False Mirror 4", "Distortion", {"Distortion", 0.3, 3.0, 1.0}, {}},
    {"PP_FalseMirror", 4, "Rippled Glass 1", "Distortion", {"Distortion", 0.3, 4.0, 2.0}, {"Frequency", 0.2, 4.0, 2.0}},
    {"PP_FalseMirror", 5, "Rippled Glass 2", "Distortion", {"Distortion", 0.3, 3.5, 2.2}, {"Frequency", 0.2, 4.0, 3.0}},
    {"PP_FalseMirror", 6, "Rippled Glass Dotted", "Distortion", {"Distortion", 1.5, 4.0, 2.5}, {"Frequency", 2.0, 5.0, 3.0}},
    {"PP_FalseMirror", 7, "Fish Eye", "Distortion", {}, {}},
    {"PP_FalseMirror", 8, "none", "Distortion", {}, {}},
    {"PP_Gamma", 0, "Gamma", "Trash", {"Gamma", 0.1, 1.9, 1.0}, {}},
    {"PP_Gamma", 1, "Gamma", "Trash", {"Gamma", 0.1, 1.9, 1.0}, {}},
    {"PP_GaussianBlur", 0, "Blur", "Blur", {"Amount", 1.0, 25.0, 12.0}, {}},
    {"PP_GaussianBlur", 1, "Radial Blur", "Blur", {"Amount", 1.0, 25.0, 12.0}, {"Radius", 0.01, 1.0, 0.01}},
    {"PP_GaussianBlur", 2, "Tilt-Shift", "Blur", {"Amount", 1.0, 25.0, 12.0}, {"Radius", 0.01, 1.0, 0.01}},
    {"PP_GaussianBlur", 3, "none", "Blur", {"Amount", 1.0, 25.0, 12.0}, {"Radius", 0.01, 1.0, 0.01}},
    {"PP_GrayHalftone", 0, "Gray Halftone", "Art", {"Size", 0.0, 0.3, 0.10000000149011612}, {}},
    {"PP_GrayHalftone", 1, "Gray Halftone", "Art", {"Size", 0.0, 0.3, 0.10000000149011612}, {}},
    {"PP_HFX_Avatar", 0, "Alien Skin", "Hollywood FX", {"Contrast", 1.1, 2.0, 1.35}, {}},
    {"PP_HFX_Avatar", 1, "Alien Skin", "Hollywood FX", {"Contrast", 1.1, 2.0, 1.35}, {}},
    {"PP_HFX_BWComics", 0, "B&W Comics", "Hollywood FX", {"Contrast", 1.5, 3.0, 2.5}, {}},
    {"PP_HFX_BWComics", 1, "B&W Comics", "Hollywood FX", {"Contrast", 1.5, 3.0, 2.5}, {}},
    {"PP_HFX_ColorComics", 0, "Color Comics", "Hollywood FX", {"Posterize", 3.0, 16.0, 12.0}, {"Contrast", 1.2, 3.0, 1.3}},
    {"PP_HFX_ColorComics", 1, "Color Comics", "Hollywood FX", {"Posterize", 3.0, 16.0, 12.0}, {"Contrast", 1.2, 3.0, 1.3}},
    {"PP_HFX_Predator", 0, "Predator Vision", "SFX", {}, {}},
    {"PP_HFX_Predator", 1, "Predator Vision", "SFX", {}, {}},
    {"PP_HFX_SinCity", 0, "B&W&Red Comics", "Hollywood FX", {"Contrast", 1.0, 3.0, 1.7}, {"Saturation", 1.0, 3.0, 2.0}},
    {"PP_HFX_SinCity", 1, "B&W&Red Comics", "Hollywood FX", {"Contrast", 1.0, 3.0, 1.7}, {"Saturation", 1.0, 3.0, 2.0}},
    {"PP_HFX_Sparta", 0, "Sparta", "Hollywood FX", {"Contrast", 1.2, 2.0, 1.35}, {"Brightness", 1.0, 2.0, 1.2}},
    {"PP_HFX_Sparta", 1, "Sparta", "Hollywood FX", {"Contrast", 1.2, 2.0, 1.35}, {"Brightness", 1.0, 2.0, 1.2}},
    {"PP_HFX_Twilight", 0, "Twilight", "Hollywood FX", {"Brightness", 1.0, 2.0, 1.15}, {}},
    {"PP_HFX_Twilight", 1, "Twilight", "Hollywood FX", {"Brightness", 1.0, 2.0, 1.15}, {}},
    {"PP_Hue", 0, "Hue Blue", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 1, "Hue Green", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 2, "Hue Pink", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 3, "Hue Turquoise", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 4, "Hue Purple", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 5, "Hue Yellow", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 6, "Hue Red", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_Hue", 7, "none", "Hue", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ImageFilter", 0, "Midway", "Cross Processed", {"Amount", 0.1, 2.0, 1.44}, {}},
    {"PP_ImageFilter", 1, "Rainbow Palette 1", "Color Fantasy", {"Amount", 0.1, 2.0, 1.44}, {}},
    {"PP_ImageFilter", 2, "Ancient Canvas", "Vintage", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ImageFilter", 3, "Old TV", "Vintage", {"Brightness", 1.0, 3.0, 1.2}, {"Amount", 1.0, 2.0, 1.0}},
    {"PP_ImageFilter", 4, "Atlantic Beach", "Cross Processed", {"Amount", 0.10000000149011612, 1.0, 1.0}, {"Contrast", 0.0, 1.0, 0.5}},
    {"PP_ImageFilter", 5, "Color Sunlight Spots", "Color Fantasy", {"Amount", 0.1, 2.0, 1.0}, {}},
    {"PP_ImageFilter", 6, "Socorro", "Cross Processed", {"Amount", 0.10000000149011612, 1.0, 1.0}, {"Contrast", 0.0, 1.0, 0.5}},
    {"PP_ImageFilter", 7, "Vintage", "Vintage", {"Brightness", 1.0, 3.0, 1.3}, {"Amount", 0.4, 1.6, 1.0}},
    {"PP_Invert", 0, "Invert Image", "Color Fantasy", {"Contrast", 0.5, 2.0, 1.0}, {}},
    {"PP_Invert", 1, "Invert Image", "Color Fantasy", {"Contrast", 0.5, 2.0, 1.0}, {}},
    {"PP_LensFilter", 0, "Red Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 1, "Green Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 2, "Blue Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 3, "Lilac Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 4, "Violet Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 5, "Pink Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 6, "Orange Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 7, "Yellow Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 8, "Light Green Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 9, "Turquoise Lense", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter", 10, "Lenses Light", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 0, "Red Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 1, "Green Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 2, "Blue Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 3, "Lilac Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 4, "Violet Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 5, "Pink Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 6, "Orange Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 7, "Yellow Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 8, "Light Green Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 9, "Turquoise Lense Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LensFilter_Hard", 10, "Lenses Mono", "Color Lenses", {"Contrast", -0.4, 0.4, 0.0}, {}},
    {"PP_LessColors", 0, "Less Colors", "Image Correction", {"Saturation", 0.0, 2.5, 0.5}, {}},
    {"PP_LessColors", 1, "Less Colors", "Image Correction", {"Saturation", 0.0, 2.5, 0.5}, {}},
    {"PP_Linocut", 0, "Linocut", "Art", {"Inner Radius", 0.0, 20.0, 3.0}, {"Outer Radius", 7.0, 200.0, 10.0}},
    {"PP_Linocut", 1, "Linocut 2", "Art", {"Inner Radius", 0.0, 20.0, 3.0}, {"Outer Radius", 7.0, 200.0, 10.0}},
    {"PP_Linocut", 2, "Linocut 2", "Art", {"Inner Radius", 0.0, 20.0, 3.0}, {"Outer Radius", 7.0, 200.0, 10.0}},
    {"PP_LinocutInv", 0, "Linocut 2", "Art", {"Inner Radius", 1.0, 3.0, 1.5}, {"Outer Radius", 3.0, 12.0, 3.2}},
    {"PP_LinocutInv", 1, "Linocut 2", "Art", {"Inner Radius", 1.0, 3.0, 1.5}, {"Outer Radius", 3.0, 12.0, 3.2}},
    {"PP_MoreColors", 0, "Saturation", "Trash", {"Saturation", 0.0, 3.0, 2.2}, {}},
    {"PP_MoreColors", 1, "Saturation", "Trash", {"Saturation", 0.0, 3.0, 2.2}, {}},
    {"PP_MoreContrast", 0, "Contrast", "Trash", {"Contrast", 0.4, 2.0, 1.5}, {}},
    {"PP_MoreContrast", 1, "Contrast", "Trash", {"Contrast", 0.4, 2.0, 1.5}, {}},
    {"PP_Mosaic", 0, "Mosaic 2", "SFX", {"Size", 0.0, 1.0, 0.10000000149011612}, {}},
    {"PP_Mosaic", 1, "Mosaic 2", "SFX", {"Size", 0.0, 1.0, 0.10000000149011612}, {}},
    {"PP_Mosaic1", 0, "Mosaic 1", "SFX", {"Pixelization", 10.0, 300.0, 182.0}, {}},
    {"PP_Mosaic1", 1, "Pixelate 1", "Art", {"Pixelization", 10.0, 300.0, 130.0}, {}},
    {"PP_Mosaic1", 2, "Pixelate", "SFX", {"Pixelization", 10.0, 300.0, 200.0}, {}},
    {"PP_Mosaic1", 3, "Pixelate 3", "Art", {"Pixelization", 10.0, 300.0, 40.0}, {}},
    {"PP_Mosaic1", 4, "Mosaic 1", "Art", {"Pixelization", 10.0, 300.0, 10.0}, {}},
    {"PP_NV1", 0, "PP_NV1", "Test", {"br", 0.0, 0.5, 0.22}, {"contr", 1.0, 2.0, 1.2}},
    {"PP_NV1", 1, "PP_NV1", "Test", {"br", 0.0, 0.5, 0.22}, {"contr", 1.0, 2.0, 1.2}},
    {"PP_NightVision", 0, "Night Vision", "Image Correction", {"Amount", 1.0, 10.0, 5.0}, {}},
    {"PP_NightVision", 1, "Night Vision", "Image Correction", {"Amount", 1.0, 10.0, 5.0}, {}},
    {"PP_Normalize", 0, "Normalize", "Uncategorized", {}, {}},
    {"PP_Normalize", 1, "Normalize", "Uncategorized", {}, {}},
    {"PP_OV_Frame", 0, "", "", {"Width", 50.0, 200.0, 100.0}, {}},
    {"PP_OV_Frame", 1, "", "", {"Width", 50.0, 200.0, 100.0}, {}},
    {"PP_Oilify", 0, "Oilify", "_research", {"Size", 0.0, 1.0, 0.20000000298023224}, {}},
    {"PP_Oilify", 1, "Oilify", "_research", {"Size", 0.0, 1.0, 0.20000000298023224}, {}},
    {"PP_OldCamera", 0, "Old Photo", "Vintage", {"Contrast", 0.4, 2.0, 1.2}, {"Brightness", 0.0, 1.0, 0.5}},
    {"PP_OldCamera", 1, "Old Photo", "Vintage", {"Contrast", 0.4, 2.0, 1.2}, {"Brightness", 0.0, 1.0, 0.5}},
    {"PP_PencilPaint", 0, "Pencil Paint", "Art", {"Edges", 1.0, 7.0, 3.0}, {"Amount", 0.3, 1.0, 0.6}},
    {"PP_PencilPaint", 1, "Pencil Paint", "Art", {"Edges", 1.0, 7.0, 3.0}, {"Amount", 0.3, 1.0, 0.6}},
    {"PP_PencilPaint2", 0, "Pencil Paint 2", "Art", {"Edges", 1.0, 3.0, 1.0}, {}},
    {"PP_PencilPaint2", 1, "Pencil Paint 2", "Art", {"Edges", 1.0, 3.0, 1.0}, {}},
    {"PP_RadialBlur", 0, "Radial Blur", "Blur", {"Amount", 0.0, 0.5, 0.45}, {"Range", 0.005, 0.5, 0.04}},
    {"PP_RadialBlur", 1, "Tilt-Shift", "Blur", {"Amount", 0.0, 0.5, 0.32}, {"Range", 0.005, 0.5, 0.04}},
    {"PP_RadialBlur", 2, "Upper Tilt-Shift", "Blur", {"Amount", 0.0, 0.5, 0.32}, {"Range", 0.005, 0.5, 0.04}},
    {"PP_RadialBlur", 3, "Upper Tilt-Shift", "Blur", {"Amount", 0.0, 0.5, 0.32}, {"Range", 0.005, 0.5, 0.04}},
    {"PP_RadialBlur", 4, "AAAProblem!", "Blur", {"Amount", 0.0, 0.5, 0.32}, {"Range", 0.005, 0.5, 0.04}},
    {"PP_Sepia", 0, "Sepia", "Vintage", {"Amount", 0.0, 1.1, 1.0}, {}},
    {"PP_Sepia", 1, "Sepia", "Vintage", {"Amount", 0.0, 1.1, 1.0}, {}},
    {"PP_Sharpen", 0, "Sharpen", "Sharpen", {"Radius", 1.0, 5.0, 1.0}, {"Amount", 0.0, 15.0, 1.0}},
    {"PP_Sharpen", 1, "Sharpen", "Sharpen", {"Radius", 1.0, 5.0, 1.0}, {"Amount", 0.0, 15.0, 1.0}},
    {"PP_SimmetryHorizontal", 0, "Symmetry Horizontal", "Symmetry", {}, {}},
    {"PP_SimmetryHorizontal", 1, "Symmetry Horizontal", "Symmetry", {}, {}},
    {"PP_SimmetryQuad", 0, "Symmetry Quad", "Symmetry", {}, {}},
    {"PP_SimmetryQuad", 1, "Symmetry Quad", "Symmetry", {}, {}},
    {"PP_SimmetryVertical", 0, "Symmetry Vertical", "Symmetry", {}, {}},
    {"PP_SimmetryVertical", 1, "Symmetry Vertical", "Symmetry", {}, {}},
    {"PP_SketchA", 0, "Pencil Sketch", "Sketch", {"Edges", 1.0, 20.0, 5.0}, {"Contrast", 1.0, 3.0, 2.0}},
    {"PP_SketchA", 1, "Pencil Sketch", "Sketch", {"Edges", 1.0, 20.0, 5.0}, {"Contrast", 1.0, 3.0, 2.0}},
    {"PP_SketchB", 0, "Color Pencil Sketch", "Sketch", {"Edges", 1.0, 10.0, 1.0}, {"Contrast", 1.0, 5.0, 2.0}},
    {"PP_SketchB", 1, "Color Pencil Sketch", "Sketch", {"Edges", 1.0, 10.0, 1.0}, {"Contrast", 1.0, 5.0, 2.0}},
    {"PP_SketchC", 0, "Pen Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchC", 1, "Pen Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchD", 0, "Charcoal Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchD", 1, "Charcoal Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchE", 0, "Color Charcoal Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchE", 1, "Color Charcoal Sketch", "Sketch", {"Contrast", 1.0, 8.0, 4.5}, {"Brightness", -0.30000001192092896, 0.30000001192092896, 0.0}},
    {"PP_SketchF", 0, "Old Sketch", "Sketch", {"Edges", 1.0, 20.0, 5.75}, {"Contrast", 1.0, 3.0, 2.2}},
    {"PP_SketchF", 1, "Old Sketch", "Sketch", {"Edges", 1.0, 20.0, 5.75}, {"Contrast", 1.0, 3.0, 2.2}},
    {"PP_SmartPosterize", 0, "Smart Posterize", "Hidden", {"Colors", 0.0, 1.0, 0.5}, {"Softness", 0.0, 1.0, 0.5}},
    {"PP_SmartPosterize", 1, "Smart Posterize", "Hidden", {"Colors", 0.0, 1.0, 0.5}, {"Softness", 0.0, 1.0, 0.5}},
    {"PP_Solarization", 0, "Solarize", "Color Fantasy", {"Contrast", 0.5, 2.0, 1.0}, {}},
    {"PP_Solarization", 1, "Solarize", "Color Fantasy", {"Contrast", 0.5, 2.0, 1.0}, {}},
    {"PP_SuperFilter", 0, "Super Filter", "Super", {"Gamma", 0.1, 1.9, 1.0}, {"Brightness", 0.3, 2.0, 1.0}},
    {"PP_SuperFilter", 1, "Super Filter", "Super", {"Gamma", 0.1, 1.9, 1.0}, {"Brightness", 0.3, 2.0, 1.0}},
    {"PP_TestScanner", 0, "Test Scanner", "Test Scanner", {}, {}},
    {"PP_TestScanner", 1, "Test Scanner", "Test Scanner", {}, {}},
    {"PP_Tritone", 0, "Tritone", "Color Fantasy", {"Depth", 0.1, 3.0, 1.0}, {}},
    {"PP_Tritone", 1, "Tritone", "Color Fantasy", {"Depth", 0.1, 3.0, 1.0}, {}},
    {"PP_Tritone2", 0, "Tritone 2", "Color Fantasy", {"Contrast", 0.1, 3.0, 1.0}, {}},
    {"PP_Tritone2", 1, "Tritone 2", "Color Fantasy", {"Contrast", 0.1, 3.0, 1.0}, {}},
    {"PP_XRay", 0, "X-ray", "SFX", {"Contrast", 0.5, 5.0, 4.0}, {"Brightness", 0.3, 2.0, 1.0}},
    {"PP_XRay", 1, "X-ray", "SFX", {"Contrast", 0.5, 5.0, 4.0}, {"Brightness", 0.3, 2.0, 1.0}},
};
// clang-format on

void expectSlider(PostProcessParameter* p, const Slider& s, const char* which) {
    SCOPED_TRACE(which);
    if (!s.name) {
        EXPECT_EQ(p, nullptr);
        return;
    }
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->name(), s.name);
    EXPECT_EQ(p->min_value(), s.min);
    EXPECT_EQ(p->max_value(), s.max);
    EXPECT_EQ(p->default_value(), s.def);
    EXPECT_EQ(p->value(), s.def);
}

const Declaration* recorded(const std::string& typeName, int32_t type) {
    for (const Declaration& d : kDeclarations)
        if (typeName == d.typeName && type == d.type) return &d;
    return nullptr;
}

TEST(LookRegistry, EveryLookAnswersItsDeclarationAsBuilt) {
    size_t checked = 0;
    for (const LookClass& c : LookRegistry::classes()) {
        const bool typed = c.typeName != "PP_ImageFilter";
        for (int32_t type = 0; type < c.variants + (typed ? 1 : 0); ++type) {
            SCOPED_TRACE(c.typeName + " " + std::to_string(type));
            const Declaration* d = recorded(c.typeName, type);
            ASSERT_NE(d, nullptr) << "no recorded declaration";
            std::unique_ptr<PostProcess> effect = c.make(type < c.variants ? type : 0, 0);
            if (type >= c.variants) effect->set_type(type);
            EXPECT_EQ(effect->get_name(), d->name);
            EXPECT_EQ(effect->get_categorie(), d->category);
            expectSlider(effect->param_1(), d->p1, "param_1");
            expectSlider(effect->param_2(), d->p2, "param_2");
            ++checked;
        }
    }
    EXPECT_EQ(checked, std::size(kDeclarations)) << "recorded looks no class registers";
}

// Every row of the program's catalogue is a look of a registered class, made as the registry
// makes that look.
TEST(LookRegistry, EveryCatalogueRowIsALookOfARegisteredClass) {
    const auto& entries = PostProcessesManager::catalogueEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::unique_ptr<PostProcess> effect = entries[i](int32_t(i));
        ASSERT_NE(effect, nullptr) << "row " << i;
        SCOPED_TRACE(effect->class_name() + " " + effect->get_name());
        EXPECT_EQ(effect->get_index(), int32_t(i));
        const LookClass* look = LookRegistry::find(effect->class_name());
        ASSERT_NE(look, nullptr);
        EXPECT_FALSE(look->flags & (kLookFrame | kLookAdjustments));
        bool found = false;
        for (int32_t type = 0; type < look->variants && !found; ++type)
            found = look->make(type, 0)->get_name() == effect->get_name();
        EXPECT_TRUE(found) << "no registered look of that name";
    }
}

// Each class once, under the name its effects answer, each of its looks answering that name and
// the frame and adjustments flags as registered.
TEST(LookRegistry, EveryClassMakesEachOfItsLooksUnderItsTypeName) {
    std::set<std::string> names;
    for (const LookClass& c : LookRegistry::classes()) {
        SCOPED_TRACE(c.typeName);
        EXPECT_TRUE(names.insert(c.typeName).second) << "registered twice";
        EXPECT_EQ(LookRegistry::find(c.typeName), &c);
        EXPECT_GE(c.variants, 1);
        for (int32_t type = 0; type < c.variants; ++type) {
            const std::unique_ptr<PostProcess> effect = c.make(type, 7);
            EXPECT_EQ(effect->class_name(), c.typeName);
            EXPECT_EQ(effect->get_index(), 7);
            EXPECT_EQ(effect->isFrame(), (c.flags & kLookFrame) != 0);
        }
    }
    EXPECT_EQ(LookRegistry::find("PP_NoSuchLook"), nullptr);
    ASSERT_NE(LookRegistry::find("PP_SuperFilter"), nullptr);
    EXPECT_TRUE(LookRegistry::find("PP_SuperFilter")->flags & kLookAdjustments);
}

// Types drawing random numbers lose both promises; the others keep the class's flags.
TEST(LookRegistry, RandomTypesAreNeitherDeterministicNorIndependent) {
    const LookClass* c = LookRegistry::find("PP_Effects_Bundle2");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->flagsOf(0) & (kLookDeterministic | kLookIndependentPixels), 0u);
    EXPECT_EQ(c->flagsOf(1), c->flags);
    EXPECT_EQ(c->flags & (kLookDeterministic | kLookIndependentPixels),
              kLookDeterministic | kLookIndependentPixels);
}

// A slider's name is the localised text of its key unless it is literal; a class without a
// declaration answers the base's placeholders.
TEST(LookRegistry, SlidersAreNamedAsDeclared) {
    std::shared_ptr<PostProcessParameter> slot;
    const SliderSpec localized = localizedSlider("kStringAddPresetDialogTitle", 0.0, 2.0, 1.0);
    ASSERT_NE(parameterFromSlider(slot, &localized), nullptr);
    EXPECT_EQ(slot->name(), "Save the applied effects as a preset");
    EXPECT_EQ(slot->min_value(), 0.0);
    EXPECT_EQ(slot->max_value(), 2.0);
    EXPECT_EQ(slot->default_value(), 1.0);
    std::shared_ptr<PostProcessParameter> literal;
    const SliderSpec literalSpec = literalSlider("kStringAddPresetDialogTitle", 0.0, 2.0, 1.0);
    EXPECT_EQ(parameterFromSlider(literal, &literalSpec)->name(), "kStringAddPresetDialogTitle");
    // A filled slot is kept; no slider makes nothing.
    EXPECT_EQ(parameterFromSlider(slot, &literalSpec), slot.get());
    std::shared_ptr<PostProcessParameter> empty;
    const SliderSpec none{};
    EXPECT_EQ(parameterFromSlider(empty, &none), nullptr);
    EXPECT_EQ(parameterFromSlider(empty, nullptr), nullptr);

    PostProcess base;
    EXPECT_EQ(base.get_name(), "Noname");
    EXPECT_EQ(base.get_categorie(), "Uncategorized");
    EXPECT_EQ(base.param_1(), nullptr);
    EXPECT_EQ(base.param_2(), nullptr);
}

} // namespace
