// Sampler cost per output pixel: the sketch effects tile a texture three times across the image
// with the `_rgba` sampler; the linocut effect samples the clamping one once per pixel.
#include "kernels/Texture.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

texture_t* noise_texture(int w, int h) {
    texture_t* tex = tex_create_empty(w, h, 4);
    for (size_t k = 0; k < size_t(w) * h * 4; ++k)
        tex->data[k] = uint8_t(k * 2654435761u >> 13);
    return tex;
}

template <uint32_t (*Sample)(const texture_t*, float, float)>
void BM_Sample(benchmark::State& state, float tiles) {
    const int side = int(state.range(0));
    texture_t* tex = noise_texture(1024, 768);
    for (auto _ : state) {
        uint32_t acc = 0;
        for (int y = 0; y < side; ++y) {
            const float v = tiles * float(y) / float(side);
            for (int x = 0; x < side; ++x)
                acc += Sample(tex, tiles * float(x) / float(side), v);
        }
        benchmark::DoNotOptimize(acc);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
    tex_free(tex);
}

void BM_BilinearRgbaTiled(benchmark::State& state) {
    BM_Sample<tex_get_pixel_bilinear_rgba>(state, 3.0f);
}
void BM_Bilinear(benchmark::State& state) {
    BM_Sample<tex_get_pixel_bilinear>(state, 1.0f);
}
void BM_Nearest(benchmark::State& state) {
    BM_Sample<tex_get_pixel_nearest>(state, 1.0f);
}

void BM_CreateScaled(benchmark::State& state) {
    texture_t* src = noise_texture(4000, 3000);
    for (auto _ : state) {
        texture_t* tex = tex_create(4000, 3000, src->data, 4, 0.5f, 0.5f);
        benchmark::DoNotOptimize(tex->data);
        tex_free(tex);
    }
    tex_free(src);
}

} // namespace

BENCHMARK(BM_BilinearRgbaTiled)->Arg(1024);
BENCHMARK(BM_Bilinear)->Arg(1024);
BENCHMARK(BM_Nearest)->Arg(1024);
BENCHMARK(BM_CreateScaled)->Unit(benchmark::kMillisecond);
