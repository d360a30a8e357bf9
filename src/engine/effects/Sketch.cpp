#include "engine/effects/Sketch.h"

#include "engine/ImageEditable.h"
#include "engine/PostProcessParameter.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/services/KXSLocalization.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

namespace sketch {

namespace {

// Once per name: the looks load their textures again for every preview.
void report_white(const std::string& name) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (reported.insert(name).second)
        std::fprintf(stderr, "Sketch texture %s is missing or smaller than 2 x 2; white used\n",
                     name.c_str());
}

} // namespace

Texture load(const std::string& name) {
    Texture tex(tex_create_from_file(name));
    if (tex && tex->width >= 2 && tex->height >= 2) return tex;
    // An empty texture samples black, which would blacken the whole look; white leaves it neutral.
    report_white(name);
    tex.reset(tex_create_empty(2, 2, 4));
    if (tex) std::memset(tex->data, 255, 2 * 2 * 4);
    return tex;
}

void load_all(std::initializer_list<std::pair<Texture*, const char*>> slots) {
    const std::pair<Texture*, const char*>* const list = slots.begin();
    graphics::parallelFor(int(slots.size()), 1, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            *list[i].first = load(list[i].second);
    });
}

} // namespace sketch
