#include "engine/effects/sketch/Sketch.h"

#include "engine/ImageEditable.h"
#include "engine/PostProcessParameter.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/ParallelRows.h"
#include "platform/services/KXSLocalization.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <list>
#include <mutex>
#include <set>

namespace sketch {

namespace {

// Once per name: a missing picture is not kept, so every run asks for it again.
void report_white(const std::string& name) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (reported.insert(name).second)
        std::fprintf(stderr, "Sketch texture %s is missing or smaller than 2 x 2; white used\n",
                     name.c_str());
}

void free_texture(const texture_t* t) {
    tex_free(const_cast<texture_t*>(t));
}

size_t texture_bytes(const texture_t& t) {
    return size_t(t.width) * size_t(t.height) * 4;
}

// Most recently used first. Decoding a paper costs far more than a preview's run.
struct Cache {
    std::mutex mutex;
    std::list<std::pair<std::string, Texture>> entries;
    size_t bytes = 0;
};

Cache& cache() {
    static Cache c;
    return c;
}

// The name with where each bundle would find it, its size and time: a bundle or file changed
// under the same name is decoded anew.
std::string key(const std::string& name) {
    std::string k = name;
    for (const foundation::Bundle* bundle :
         {&foundation::Bundle::mainBundle(), &foundation::Bundle::sharedBundle()}) {
        const std::string path = bundle->pathForResourceOfType(name, "");
        std::error_code error;
        const auto size = path.empty() ? 0 : std::filesystem::file_size(path, error);
        const auto time =
            path.empty() ? std::filesystem::file_time_type() : std::filesystem::last_write_time(path, error);
        k += '\n' + path + '\n' + std::to_string(error ? 0 : size) + '\n' +
             std::to_string(time.time_since_epoch().count());
    }
    return k;
}

Texture cached(const std::string& name) {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
        if (it->first != name) continue;
        c.entries.splice(c.entries.begin(), c.entries, it);
        return it->second;
    }
    return nullptr;
}

void keep(const std::string& name, const Texture& tex) {
    const size_t size = texture_bytes(*tex);
    if (size > kCacheBytes) return;
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    for (const auto& entry : c.entries)
        if (entry.first == name) return; // decoded meanwhile by another thread
    c.entries.emplace_front(name, tex);
    c.bytes += size;
    while (c.bytes > kCacheBytes) {
        c.bytes -= texture_bytes(*c.entries.back().second);
        c.entries.pop_back();
    }
}

} // namespace

Texture load(const std::string& name) {
    const std::string stamp = key(name);
    if (Texture hit = cached(stamp)) return hit;
    texture_t* decoded = tex_create_from_file(name);
    if (decoded && decoded->width >= 2 && decoded->height >= 2) {
        Texture tex(decoded, free_texture);
        keep(stamp, tex);
        return tex;
    }
    if (decoded) tex_free(decoded);
    // An empty texture samples black, which would blacken the whole look; white leaves it neutral.
    report_white(name);
    texture_t* white = tex_create_empty(2, 2, 4);
    if (!white) return nullptr;
    std::memset(white->data, 255, 2 * 2 * 4);
    return Texture(white, free_texture);
}

void release_cache() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.entries.clear();
    c.bytes = 0;
}

size_t cache_bytes() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    return c.bytes;
}

bool load_all(std::initializer_list<std::pair<Texture*, const char*>> slots) {
    const std::pair<Texture*, const char*>* const list = slots.begin();
    graphics::parallelFor(int(slots.size()), 1, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            *list[i].first = load(list[i].second);
    });
    for (const auto& slot : slots)
        if (!*slot.first) return false;
    return true;
}

} // namespace sketch
