#pragma once
// The families of pictures the effects load. Each family hands every file it makes to `write`
// with the folder the effects look it up in: images found by file name through the shared
// resources bundle (sketch papers, the tone gradient, brushes) go there, images found by name
// and type through the main bundle (blend textures, overlays) go to the main bundle.
#include "Raster.h"

#include <functional>
#include <string>

namespace artwork {

enum class Folder { Main, Shared };
using Write = std::function<void(Folder, const std::string& file, const Raster&)>;

void writeSketchPapers(const Write& write);
void writeBlendTextures(const Write& write);
void writeOverlays(const Write& write);
void writeBrushes(const Write& write);

} // namespace artwork
