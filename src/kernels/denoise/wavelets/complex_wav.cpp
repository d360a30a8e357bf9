#include "kernels/denoise/wavelets/complex_wav.h"

#include "kernels/denoise/wavelets/wav2d.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kMaxLevels = 24;

struct Banks {
    WaveletBank first, later[2]; // later[0]: tree a, later[1]: tree b
    Banks() {
        choose_filter('A', 0, first);
        choose_filter('N', 0, later[0]);
        choose_filter('N', -1, later[1]);
    }
};

const Banks& banks() {
    static const Banks b;
    return b;
}

// The plane into `set`, extended past its last column and row by the mirrored extension.
void pad(float** in, int h, int w, float** set, int sh, int sw) {
    const int k = std::max(sh - h, sw - w);
    std::vector<float> line(size_t(std::max(sh, sw)) + 2 * size_t(k));
    float* x = line.data() + k;
    for (int y = 0; y < h; ++y) {
        std::copy(in[y], in[y] + w, x);
        extend_mirror(x, w, sw - w, 2);
        std::copy(x, x + sw, set[y]);
    }
    if (sh == h) return;
    for (int c = 0; c < sw; ++c) {
        for (int y = 0; y < h; ++y)
            x[y] = set[y][c];
        extend_mirror(x, h, sh - h, 2);
        for (int y = h; y < sh; ++y)
            set[y][c] = x[y];
    }
}

// Pairs the trees' coefficients outside the coarsest low-low corner. Its own inverse.
void combine(float** const sets[4], int sh, int sw, int levels) {
    const float r = float(1.0 / std::sqrt(2.0));
    const int ch = sh >> levels, cw = sw >> levels;
    for (int y = 0; y < sh; ++y)
        for (int x = y < ch ? cw : 0; x < sw; ++x)
            for (int p = 0; p < 2; ++p) {
                float& u = sets[p][y][x];
                float& v = sets[3 - p][y][x];
                const float a = u, b = v;
                u = (a + b) * r;
                v = (a - b) * r;
            }
}

// Moves every line of the set one sample later (or back), wrapping at its ends.
void move(float** set, int sh, int sw, bool along_rows, bool later) {
    if (along_rows) {
        for (int y = 0; y < sh; ++y)
            std::rotate(set[y], set[y] + (later ? sw - 1 : 1), set[y] + sw);
    } else if (later) {
        for (int y = sh - 1; y > 0; --y)
            std::swap_ranges(set[y], set[y] + sw, set[y - 1]);
    } else {
        for (int y = 0; y + 1 < sh; ++y)
            std::swap_ranges(set[y], set[y] + sw, set[y + 1]);
    }
}

// Tree b's first level is tree a's on the plane one sample later, so both of its bands lag
// tree a's by one sample. (Sampling at the other phase instead would move its low band one
// way and its high band the other, and the trees would no longer form a Hilbert pair.)
void first_level(float** set, int sh, int sw, int t, bool forward) {
    const WaveletBank& a = banks().first;
    if (forward) {
        if (t & 1) move(set, sh, sw, true, true);
        if (t & 2) move(set, sh, sw, false, true);
    }
    wav2d_level(set, 0, 0, sw, sh, a, a, forward, 0, 0);
    if (!forward) {
        if (t & 1) move(set, sh, sw, true, false);
        if (t & 2) move(set, sh, sw, false, false);
    }
}

void tree(float** set, int sh, int sw, int levels, int t, bool packets, bool forward) {
    if (levels == 0) return;
    const Banks& b = banks();
    const WaveletBank& rows = b.later[t & 1];
    const WaveletBank& cols = b.later[(t >> 1) & 1];
    if (forward) first_level(set, sh, sw, t, true);
    const int hh = sh / 2, hw = sw / 2;
    if (packets) {
        for (int q = 0; q < 4; ++q)
            wavpack2d_block(set, (q & 1) * hw, (q >> 1) * hh, hw, hh, levels - 1, rows, cols, forward, 0, 0);
    } else {
        for (int i = 1; i < levels; ++i) {
            const int l = forward ? i : levels - i;
            wav2d_level(set, 0, 0, sw >> l, sh >> l, rows, cols, forward, 0, 0);
        }
    }
    if (!forward) first_level(set, sh, sw, t, false);
}

bool forw(float** in, int h, int w, int levels, float** const sets[4], bool packets) {
    int sh, sw;
    if (!in || !sets || !complex_wav_size(h, w, levels, sh, sw)) return false;
    for (int t = 0; t < 4; ++t)
        if (!sets[t]) return false;
    pad(in, h, w, sets[0], sh, sw);
    for (int t = 1; t < 4; ++t)
        for (int y = 0; y < sh; ++y)
            std::copy(sets[0][y], sets[0][y] + sw, sets[t][y]);
    for (int t = 0; t < 4; ++t)
        tree(sets[t], sh, sw, levels, t, packets, true);
    combine(sets, sh, sw, levels);
    return true;
}

bool inv(float** const sets[4], int h, int w, int levels, float** out, bool packets) {
    int sh, sw;
    if (!out || !sets || !complex_wav_size(h, w, levels, sh, sw)) return false;
    for (int t = 0; t < 4; ++t)
        if (!sets[t]) return false;
    combine(sets, sh, sw, levels);
    for (int t = 0; t < 4; ++t)
        tree(sets[t], sh, sw, levels, t, packets, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[y][x] = (sets[0][y][x] + sets[1][y][x] + sets[2][y][x] + sets[3][y][x]) * 0.25f;
    return true;
}

} // namespace

bool complex_wav_size(int height, int width, int levels, int& set_height, int& set_width) {
    if (height < 1 || width < 1 || levels < 0 || levels > kMaxLevels) return false;
    const long long step = 1LL << levels;
    const long long sh = (height + step - 1) / step * step, sw = (width + step - 1) / step * step;
    if (sh > 0x7fffffff || sw > 0x7fffffff) return false;
    set_height = int(sh);
    set_width = int(sw);
    return true;
}

bool complex_wav_forw(float** in, int height, int width, int levels, float** const sets[4]) {
    return forw(in, height, width, levels, sets, false);
}
bool complex_wav_inv(float** const sets[4], int height, int width, int levels, float** out) {
    return inv(sets, height, width, levels, out, false);
}
bool complex_wav_pack_forw(float** in, int height, int width, int levels, float** const sets[4]) {
    return forw(in, height, width, levels, sets, true);
}
bool complex_wav_pack_inv(float** const sets[4], int height, int width, int levels, float** out) {
    return inv(sets, height, width, levels, out, true);
}

int hard_threshold_complex(float** re, float** im, int height, int width, float threshold) {
    const float t2 = threshold * threshold;
    int zeroed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (re[y][x] * re[y][x] + im[y][x] * im[y][x] < t2) {
                re[y][x] = 0.0f;
                im[y][x] = 0.0f;
                ++zeroed;
            }
    return zeroed;
}
