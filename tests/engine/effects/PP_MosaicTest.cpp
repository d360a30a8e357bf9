// The Voronoi mosaic: identity and parameter, runs against the mosaic written out from its
// formula (seeded generator) at full size and in preview, the texture builder's edge cases and
// when the kept preview mosaic is freed.
#include "engine/effects/painterly/PP_Mosaic.h"
#include "engine/PostProcessParameter.h"
#include "kernels/Random.h"
#include "kernels/drawing/lines.h"
#include "kernels/regions/voronoi.h"
#include "platform/graphics/ParallelRows.h"

#include "support/EffectRun.h"
#include "support/PixelEffectRun.h"
#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr uint64_t kSeed = 0x5eed;

// X,R,G,B bytes, rows of 4 w bytes.
struct Bytes {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * size_t(w) + size_t(x)) * 4]; }
};

Bytes patternBytes(int w, int h) {
    Bytes b{w, h, std::vector<uint8_t>(size_t(w) * size_t(h) * 4)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = patternColour(x, y);
            uint8_t* p = &b.px[(size_t(y) * size_t(w) + size_t(x)) * 4];
            p[0] = 255;
            p[1] = c.r;
            p[2] = c.g;
            p[3] = c.b;
        }
    return b;
}

// The expected picture: black where a Voronoi edge of the jittered grid seeds passes, elsewhere
// each 4-connected tile in the colour of its first pixel in scan order. The seeds come from the
// current generator state.
struct Expected {
    int w = 0, h = 0;
    std::vector<bool> border;
    std::vector<Rgb> colour;
    std::vector<int> tile; // which 4-connected tile, -1 on a border
};

Expected expectedMosaic(const Bytes& src, int cell) {
    const int w = src.w, h = src.h, half = (cell - 1) / 2;
    std::vector<float> seeds;
    for (int gy = 0; gy < h; gy += cell)
        for (int gx = 0; gx < w; gx += cell) {
            const int rx = Random::rand() % (cell - 1);
            const int ry = Random::rand() % (cell - 1);
            seeds.push_back(float(std::clamp(gx - half + rx, 0, w - 1)));
            seeds.push_back(float(std::clamp(gy - half + ry, 0, h - 1)));
        }
    int count = 0;
    const std::unique_ptr<float[]> edges(voronoi_process(seeds.data(), int(seeds.size() / 2), &count, w, h));
    std::vector<uint8_t> lines(size_t(w) * size_t(h) * 4, 0);
    for (int i = 0; i < count; ++i) {
        const float* e = &edges[size_t(i) * 4];
        draw_line_alpha(lines.data(), w, h, w * 4, int(e[0]), int(e[1]), int(e[2]), int(e[3]), 255);
    }

    Expected out{w, h, std::vector<bool>(size_t(w) * size_t(h)), std::vector<Rgb>(size_t(w) * size_t(h)),
                 std::vector<int>(size_t(w) * size_t(h), -1)};
    int tiles = 0;
    for (size_t i = 0; i < out.border.size(); ++i)
        out.border[i] = lines[i * 4] == 255;
    std::vector<bool> done(out.border);
    std::vector<int> todo;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (done[size_t(y) * size_t(w) + size_t(x)]) continue;
            const uint8_t* s = src.at(x, y);
            const Rgb c{s[1], s[2], s[3]};
            todo.assign(1, y * w + x);
            done[size_t(y) * size_t(w) + size_t(x)] = true;
            const int tile = tiles++;
            while (!todo.empty()) {
                const int at = todo.back();
                todo.pop_back();
                out.colour[size_t(at)] = c;
                out.tile[size_t(at)] = tile;
                const int ax = at % w, ay = at / w;
                const int next[4][2] = {{ax - 1, ay}, {ax + 1, ay}, {ax, ay - 1}, {ax, ay + 1}};
                for (const auto& n : next) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
                    const size_t k = size_t(n[1]) * size_t(w) + size_t(n[0]);
                    if (done[k]) continue;
                    done[k] = true;
                    todo.push_back(n[1] * w + n[0]);
                }
            }
        }
    return out;
}

Rgb expectedAt(const Expected& e, int x, int y) {
    const size_t k = size_t(y) * size_t(e.w) + size_t(x);
    return e.border[k] ? Rgb{0, 0, 0} : e.colour[k];
}

// A mosaic of the given size from kSeed's draws, on `threads` threads, at a preview step (0: full
// size).
EffectOutput runMosaic(const graphics::ImagePtr& image, double size, int previewStep, unsigned threads) {
    PostProcess::global_clean();
    WorkingImageGuard guard;
    graphics::setParallelThreads(threads);
    PP_Mosaic m;
    m.init({}, 0);
    m.param_1()->setValue(size);
    Random::seed(kSeed);
    EffectOutput out = runEffect(m, image, previewStep);
    graphics::setParallelThreads(0);
    return out;
}

TEST(PP_Mosaic, IdentityAndParameter) {
    PP_Mosaic m;
    m.init({}, 0);
    EXPECT_EQ(m.class_name(), "PP_Mosaic");
    EXPECT_EQ(m.get_name(), "Mosaic 2");
    EXPECT_EQ(m.get_categorie(), "SFX");
    EXPECT_TRUE(m.this_filter_is_simply_color_modify());
    EXPECT_TRUE(m.pixels_are_independent());
    expectParameter(m.param_1(), {"Size", 0.0, 1.0, double(0.1f)}, "param_1");
    expectParameter(m.param_2(), {}, "param_2");
}

// Size value -> cell side trunc(value x 50 + 4); values off the slider are held to its ends.
TEST(PP_Mosaic, FullSizeRunsMakeTheMosaicOfTheirSize) {
    struct Case {
        double size;
        int cell;
        int previewStep;
        unsigned threads;
    };
    const Case cases[] = {
        {0.0, 4, 0, 1},
        {double(0.1f), 9, 0, 4},
        {0.5, 29, 0, 1},
        {1.0, 54, 0, 1},
        {-5.0, 4, 0, 1},
        {7.0, 54, 0, 1},
        {std::numeric_limits<double>::quiet_NaN(), 4, 0, 1},
    };
    const int w = 131, h = 97;
    const graphics::ImagePtr image = makeSourceImage(w, h, patternColour);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << ", preview step " << c.previewStep << ", "
                                        << c.threads << " threads");
        const EffectOutput out = runMosaic(image, c.size, c.previewStep, c.threads);

        Bytes src{w, h, out.source};
        Random::seed(kSeed);
        const Expected e = expectedMosaic(src, c.cell);
        const int step = c.previewStep > 0 ? c.previewStep : 1;
        ASSERT_EQ(out.w, (w - 1) / step + 1);
        ASSERT_EQ(out.h, (h - 1) / step + 1);
        int wrong = 0;
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i)
                wrong += !(out.at(i, j) == expectedAt(e, i * out.step, j * out.step));
        EXPECT_EQ(wrong, 0);
    }
}

// A preview works out only its own grid, from the seeds a full-size run draws: black where the
// full-size mosaic of those seeds has a border line at or next to the sampled pixel, elsewhere the
// colour of a sampled pixel of the same tile, with about as much black as the sampled full-size
// mosaic has. Where tiles are hardly wider than the step, a tile's one sample may fall on what is a
// border at full size, and its colour then matches no sample of the tile: a few per cent.
TEST(PP_Mosaic, PreviewSamplesTheMosaicOfTheSameSeedsAtItsOwnSize) {
    struct Case {
        double size;
        int cell;
        int previewStep;
        unsigned threads;
        int otherColoursPercent;
    };
    const Case cases[] = {
        {0.0, 4, 3, 4, 5},  {double(0.1f), 9, 3, 1, 1}, {double(0.1f), 9, 10, 4, 5},
        {1.0, 54, 2, 4, 1}, {0.5, 29, 7, 1, 1},
    };
    const int w = 331, h = 247;
    const graphics::ImagePtr image = makeSourceImage(w, h, patternColour);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << ", preview step " << c.previewStep << ", "
                                        << c.threads << " threads");
        const EffectOutput out = runMosaic(image, c.size, c.previewStep, c.threads);
        const int afterRun = Random::rand();

        const Bytes src{w, h, out.source};
        Random::seed(kSeed);
        const Expected e = expectedMosaic(src, c.cell);
        EXPECT_EQ(Random::rand(), afterRun) << "the same draws as a full-size run";
        ASSERT_EQ(out.w, (w - 1) / c.previewStep + 1);
        ASSERT_EQ(out.h, (h - 1) / c.previewStep + 1);

        // Colours of the sampled pixels of every tile.
        std::vector<std::vector<Rgb>> sampled(e.colour.size());
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const size_t k = size_t(j * out.step) * size_t(w) + size_t(i * out.step);
                if (e.tile[k] >= 0) sampled[size_t(e.tile[k])].push_back(out.sourceAt(i, j));
            }
        int black = 0, expectedBlack = 0, wrongBorders = 0, wrongColours = 0;
        for (int j = 0; j < out.h; ++j)
            for (int i = 0; i < out.w; ++i) {
                const int x = i * out.step, y = j * out.step;
                expectedBlack += e.border[size_t(y) * size_t(w) + size_t(x)];
                const Rgb got = out.at(i, j);
                bool nearBorder = false, tileColour = false;
                for (int yy = std::max(y - 1, 0); yy <= std::min(y + 1, h - 1); ++yy)
                    for (int xx = std::max(x - 1, 0); xx <= std::min(x + 1, w - 1); ++xx) {
                        const size_t k = size_t(yy) * size_t(w) + size_t(xx);
                        nearBorder |= e.border[k];
                        if (e.tile[k] >= 0)
                            for (const Rgb& s : sampled[size_t(e.tile[k])])
                                tileColour |= s == got;
                    }
                if (got == Rgb{0, 0, 0}) {
                    ++black;
                    wrongBorders += !nearBorder;
                } else {
                    wrongColours += !tileColour;
                }
            }
        const int total = out.w * out.h;
        EXPECT_LE(wrongBorders, total / 100);
        EXPECT_LE(wrongColours, total * c.otherColoursPercent / 100);
        EXPECT_GT(black, expectedBlack * 7 / 10);
        EXPECT_LT(black, expectedBlack * 13 / 10);
    }
}

TEST(PP_Mosaic, UniformSourceGivesFlatTilesBetweenThinBlackBorders) {
    WorkingImageGuard guard;
    const int w = 90, h = 72, cell = 9;
    PP_Mosaic m;
    m.init({}, 0);
    Random::seed(kSeed);
    const EffectOutput out = runEffect(m, makeSourceImage(w, h, [](int, int) { return Rgb{255, 0, 0}; }));
    int black = 0, other = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = out.at(x, y);
            black += c == Rgb{0, 0, 0};
            other += !(c == Rgb{0, 0, 0}) && !(c == Rgb{255, 0, 0});
        }
    EXPECT_EQ(other, 0);
    // One-pixel borders around cells of side C cover about 2/C of the picture.
    const double fraction = double(black) / double(w * h);
    EXPECT_GT(fraction, 1.0 / cell);
    EXPECT_LT(fraction, 3.0 / cell);
}

TEST(PP_Mosaic, ProcessTextureDrawsTwoNumbersPerGridCellAndMarksEveryTexel) {
    struct Case {
        int w, h, cell, draws;
    };
    // One cell has no edges: the whole picture is one tile in the colour of pixel (0, 0).
    const Case cases[] = {{7, 5, 9, 2},    {1, 1, 4, 2},    {9, 9, 9, 2},
                          {20, 10, 4, 30}, {10, 19, 9, 12}, {13, 6, 1, 42}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " cell " << c.cell);
        const Bytes src = patternBytes(c.w, c.h);
        texture_t* tex = tex_create_empty(c.w, c.h, 4);
        Random::seed(kSeed);
        std::vector<int> sequence;
        for (int i = 0; i <= c.draws; ++i)
            sequence.push_back(Random::rand());
        Random::seed(kSeed);
        EXPECT_TRUE(PP_Mosaic::process_texture(tex, src.px.data(), c.w, c.h, c.cell, false));
        EXPECT_EQ(Random::rand(), sequence.back());
        int unmarked = 0, wrong = 0;
        for (int i = 0; i < c.w * c.h; ++i) {
            const uint8_t* t = tex->data + size_t(i) * 4;
            unmarked += t[0] != 254 && t[0] != 255;
            if (c.draws == 2) wrong += t[0] != 254 || !std::equal(t + 1, t + 4, src.at(0, 0) + 1);
        }
        EXPECT_EQ(unmarked, 0);
        EXPECT_EQ(wrong, 0);
        tex_free(tex);
    }
}

TEST(PP_Mosaic, CellsBelowTwoPixelsAreTakenAsTwo) {
    const Bytes src = patternBytes(23, 17);
    texture_t* two = tex_create_empty(src.w, src.h, 4);
    Random::seed(kSeed);
    ASSERT_TRUE(PP_Mosaic::process_texture(two, src.px.data(), src.w, src.h, 2, false));
    for (int cell : {1, 0, -7}) {
        SCOPED_TRACE(cell);
        texture_t* tex = tex_create_empty(src.w, src.h, 4);
        Random::seed(kSeed);
        EXPECT_TRUE(PP_Mosaic::process_texture(tex, src.px.data(), src.w, src.h, cell, false));
        EXPECT_TRUE(std::equal(tex->data, tex->data + src.px.size(), two->data));
        tex_free(tex);
    }
    tex_free(two);
}

// Filled borders: no border texel is left, tiles keep their colour, and every former border texel
// took the colour of a neighbour.
TEST(PP_Mosaic, FilledBordersTakeTheColoursAroundThem) {
    const Bytes src = patternBytes(61, 47);
    texture_t* plain = tex_create_empty(src.w, src.h, 4);
    texture_t* filled = tex_create_empty(src.w, src.h, 4);
    Random::seed(kSeed);
    ASSERT_TRUE(PP_Mosaic::process_texture(plain, src.px.data(), src.w, src.h, 6, false));
    Random::seed(kSeed);
    ASSERT_TRUE(PP_Mosaic::process_texture(filled, src.px.data(), src.w, src.h, 6, true));
    const auto at = [&](texture_t* t, int x, int y) {
        return t->data + (size_t(y) * size_t(src.w) + size_t(x)) * 4;
    };
    int borders = 0, wrong = 0;
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            const uint8_t* p = at(plain, x, y);
            const uint8_t* f = at(filled, x, y);
            if (p[0] == 254) {
                wrong += !std::equal(p, p + 4, f);
                continue;
            }
            ++borders;
            bool fromNeighbour = false;
            for (int yy = std::max(y - 1, 0); yy <= std::min(y + 1, src.h - 1); ++yy)
                for (int xx = std::max(x - 1, 0); xx <= std::min(x + 1, src.w - 1); ++xx)
                    if (xx != x || yy != y) fromNeighbour |= std::equal(f + 1, f + 4, at(filled, xx, yy) + 1);
            wrong += f[0] != 254 || !fromNeighbour;
        }
    EXPECT_GT(borders, 0);
    EXPECT_EQ(wrong, 0);
    tex_free(plain);
    tex_free(filled);
}

// Nothing is read outside the source: a texture the source does not cover is only cleared.
TEST(PP_Mosaic, ProcessTextureRefusesASourceThatDoesNotCoverTheTexture) {
    const Bytes src = patternBytes(8, 6);
    struct Case {
        int w, h;
        const uint8_t* data;
    };
    const Case cases[] = {{9, 6, src.px.data()}, {8, 7, src.px.data()}, {8, 6, nullptr}};
    for (const Case& c : cases) {
        texture_t* tex = tex_create_empty(c.w, c.h, 4);
        std::fill(tex->data, tex->data + size_t(c.w) * size_t(c.h) * 4, uint8_t(7));
        EXPECT_FALSE(PP_Mosaic::process_texture(tex, c.data, src.w, src.h, 4, false));
        EXPECT_TRUE(std::all_of(tex->data, tex->data + size_t(c.w) * size_t(c.h) * 4,
                                [](uint8_t b) { return b == 0; }));
        tex_free(tex);
    }
    EXPECT_FALSE(PP_Mosaic::process_texture(nullptr, src.px.data(), src.w, src.h, 4, false));
}

class PeekMosaic : public PP_Mosaic {
  public:
    const texture_t* texture() const { return mp_tex; }
};

// The mosaic is kept while the effect is the live preview, at the preview's size, and freed
// when it leaves preview, after a run outside preview, and with the effect (the leak checker
// watches the last).
TEST(PP_Mosaic, KeptPreviewMosaicIsFreedWhenThePreviewEnds) {
    WorkingImageGuard guard;
    const graphics::ImagePtr image = makeSourceImage(40, 30, patternColour);
    PeekMosaic m;
    m.init({}, 0);
    runEffect(m, image);
    EXPECT_EQ(m.texture(), nullptr) << "full-size run outside preview";

    m.on_preview_entered();
    PostProcess::global_clean();
    runEffect(m, image, 2);
    ASSERT_NE(m.texture(), nullptr);
    EXPECT_EQ(m.texture()->width, 20);
    EXPECT_EQ(m.texture()->height, 15);
    m.on_preview_exit();
    EXPECT_EQ(m.texture(), nullptr);

    PostProcess::global_clean();
    runEffect(m, image, 2);
    EXPECT_EQ(m.texture(), nullptr) << "preview run after the preview ended";

    auto kept = std::make_unique<PeekMosaic>();
    kept->init({}, 0);
    kept->on_preview_entered();
    PostProcess::global_clean();
    runEffect(*kept, image, 2);
    EXPECT_NE(kept->texture(), nullptr);
    kept.reset();
}

} // namespace
