#pragma once
// Skins and other bundle pictures by name, for every skinned control and window: the main bundle
// first, then the shared resources bundle (Textures.bundle inside it). A name carries no
// extension; "<name>@2x.png" is preferred on a high-density screen and "<name>.png" elsewhere,
// each standing in for the other when it is missing. Main thread only (the cache is unguarded).
#include <QImage>
#include <string>

namespace SharedBundle {

// The folder of the shared resources bundle, or empty when there is none.
const std::string& resourcesBundlePath();

// The picture at the density asked (0: the primary screen's), its device pixel ratio set so it
// paints at its size in points. Null, with one line on standard error per name, when neither
// bundle has it. Answers are cached per name and density.
QImage imageNamedAdditional(const std::string& name, qreal devicePixelRatio = 0);

// Forgets cached pictures (tests that write bundles of their own).
void clearImageCache();

} // namespace SharedBundle

using SharedBundle::imageNamedAdditional;
