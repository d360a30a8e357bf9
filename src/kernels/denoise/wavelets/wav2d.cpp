#include "kernels/denoise/wavelets/wav2d.h"

#include <cstdio>
#include <vector>

namespace {

inline int wrap(int i, int n) {
    const int m = i % n;
    return m < 0 ? m + n : m;
}

// Index of the sample that extended position i copies, for a mirror of the given phase.
inline int mirror_index(int i, int n, int phase) {
    if (n == 1) return 0;
    switch (phase) {
    case 0: { // period 2(n - 1)
        const int m = wrap(i, 2 * (n - 1));
        return m < n ? m : 2 * (n - 1) - m;
    }
    case 1: { // period 2n
        const int m = wrap(i, 2 * n);
        return m < n ? m : 2 * n - 1 - m;
    }
    default: { // period 2n - 1
        const int m = wrap(i, 2 * n - 1);
        return m < n ? m : 2 * n - 1 - m;
    }
    }
}

void extend(float* line, int n, int k, const WaveletBank& bank) {
    if (bank.phase != 0)
        extend_periodic(line, n, k);
    else
        extend_mirror(line, n, k, 0);
}

// Samples of the band taken at positions shift, shift + 2, ... of a line of n.
inline int band_count(int n, int shift) {
    return (n - shift + 1) / 2;
}

inline float apply(const WaveletFilter& f, const float* line, int p) {
    float sum = 0.0f;
    for (int k = 0; k < f.length; ++k)
        sum += f.taps[k] * line[p - (k + f.start)];
    return sum;
}

// A scratch line with room for the extension on both sides; `at` is sample 0.
struct Scratch {
    std::vector<float> buf;
    int ext;
    explicit Scratch(int n, int ext) : buf(size_t(n) + 2 * size_t(ext)), ext(ext) {}
    float* at() { return buf.data() + ext; }
};

// Transforms one contiguous line of n samples in place.
struct LineForward {
    Scratch in, out;
    LineForward(int n, int ext) : in(n, ext), out(n, 0) {}
    void run(float* line, int n, const WaveletBank& bank, int shift) {
        float* x = in.at();
        for (int i = 0; i < n; ++i)
            x[i] = line[i];
        extend(x, n, in.ext, bank);
        filter_n_decimate(x, n, out.at(), bank, shift);
        for (int i = 0; i < n; ++i)
            line[i] = out.at()[i];
    }
};

struct LineInverse {
    Scratch low, high, out;
    LineInverse(int n, int ext) : low(n, ext), high(n, ext), out(n, 0) {}
    void run(float* line, int n, const WaveletBank& bank, int shift) {
        const int nl = band_count(n, shift);
        float* u0 = low.at();
        float* u1 = high.at();
        for (int p = 0; p < n; ++p) {
            const bool is_low = ((p - shift) & 1) == 0;
            u0[p] = is_low ? line[(p - shift) / 2] : 0.0f;
            u1[p] = is_low ? 0.0f : line[nl + (p - (1 - shift)) / 2];
        }
        extend(u0, n, low.ext, bank);
        extend(u1, n, high.ext, bank);
        upsample_n_filter(u0, u1, n, out.at(), bank);
        for (int i = 0; i < n; ++i)
            line[i] = out.at()[i];
    }
};

template <typename Line>
void all_rows(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank, int shift) {
    if (width < 2) return;
    Line line(width, bank.extension());
    for (int y = y0; y < y0 + height; ++y)
        line.run(rows[y] + x0, width, bank, shift);
}

// Columns are walked through the row table, so rows need not lie in one block.
template <typename Line>
void all_cols(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank, int shift) {
    if (height < 2) return;
    Line line(height, bank.extension());
    std::vector<float> column(static_cast<size_t>(height));
    for (int x = x0; x < x0 + width; ++x) {
        for (int y = 0; y < height; ++y)
            column[y] = rows[y0 + y][x];
        line.run(column.data(), height, bank, shift);
        for (int y = 0; y < height; ++y)
            rows[y0 + y][x] = column[y];
    }
}

// Sizes of the low-low corner at each level; false when a periodic bank meets an odd line.
bool level_sizes(int height, int width, int levels, const WaveletBank& bank, int shift_rows, int shift_cols,
                 std::vector<int>& hs, std::vector<int>& ws) {
    hs.assign(1, height);
    ws.assign(1, width);
    for (int l = 0; l < levels; ++l) {
        const int h = hs.back(), w = ws.back();
        if (bank.phase != 0 && ((h > 1 && h % 2) || (w > 1 && w % 2))) return false;
        const int sx = l == 0 ? shift_rows : 0, sy = l == 0 ? shift_cols : 0;
        hs.push_back(h < 2 ? h : band_count(h, sy));
        ws.push_back(w < 2 ? w : band_count(w, sx));
    }
    return true;
}

bool packet_sizes_fit(int h, int w, int levels, const WaveletBank& bank, int sx, int sy) {
    if (levels == 0 || bank.phase == 0) return true;
    if ((h > 1 && h % 2) || (w > 1 && w % 2)) return false;
    const int wl = w < 2 ? w : band_count(w, sx), hl = h < 2 ? h : band_count(h, sy);
    // With even sizes all four quadrants have the same size.
    return packet_sizes_fit(hl, wl, levels - 1, bank, 0, 0);
}

} // namespace

void extend_periodic(float* line, int n, int k) {
    for (int j = 1; j <= k; ++j) {
        line[-j] = line[wrap(-j, n)];
        line[n - 1 + j] = line[wrap(n - 1 + j, n)];
    }
}

bool extend_mirror(float* line, int n, int k, int phase) {
    if (phase < 0 || phase >= 3) {
        std::fprintf(stderr, "extend_mirror: illegal phase\n");
        return false;
    }
    for (int j = 1; j <= k; ++j) {
        line[-j] = line[mirror_index(-j, n, phase)];
        line[n - 1 + j] = line[mirror_index(n - 1 + j, n, phase)];
    }
    return true;
}

void filter_n_decimate(const float* line, int n, float* out, const WaveletBank& bank, int shift) {
    const int nl = band_count(n, shift);
    for (int p = shift, i = 0; p < n; p += 2, ++i)
        out[i] = apply(bank.analysis_lp, line, p);
    for (int p = 1 - shift, i = nl; p < n; p += 2, ++i)
        out[i] = apply(bank.analysis_hp, line, p);
}

void upsample_n_filter(const float* low, const float* high, int n, float* out, const WaveletBank& bank) {
    for (int p = 0; p < n; ++p)
        out[p] = apply(bank.synthesis_lp, low, p) + apply(bank.synthesis_hp, high, p);
}

void filt_n_dec_all_rows(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift) {
    all_rows<LineForward>(rows, x0, y0, width, height, bank, shift);
}
void filt_n_dec_all_cols(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift) {
    all_cols<LineForward>(rows, x0, y0, width, height, bank, shift);
}
void ups_n_filt_all_rows(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift) {
    all_rows<LineInverse>(rows, x0, y0, width, height, bank, shift);
}
void ups_n_filt_all_cols(float** rows, int x0, int y0, int width, int height, const WaveletBank& bank,
                         int shift) {
    all_cols<LineInverse>(rows, x0, y0, width, height, bank, shift);
}

void wav2d_level(float** rows, int x0, int y0, int width, int height, const WaveletBank& row_bank,
                 const WaveletBank& col_bank, bool forward, int shift_rows, int shift_cols) {
    if (forward) {
        filt_n_dec_all_rows(rows, x0, y0, width, height, row_bank, shift_rows);
        filt_n_dec_all_cols(rows, x0, y0, width, height, col_bank, shift_cols);
    } else {
        ups_n_filt_all_rows(rows, x0, y0, width, height, row_bank, shift_rows);
        ups_n_filt_all_cols(rows, x0, y0, width, height, col_bank, shift_cols);
    }
}

void wavpack2d_block(float** rows, int x0, int y0, int w, int h, int levels, const WaveletBank& row_bank,
                     const WaveletBank& col_bank, bool forward, int shift_rows, int shift_cols) {
    if (levels <= 0) return;
    const int wl = w < 2 ? w : band_count(w, shift_rows), hl = h < 2 ? h : band_count(h, shift_cols);
    if (forward) wav2d_level(rows, x0, y0, w, h, row_bank, col_bank, true, shift_rows, shift_cols);
    const int xs[2] = {x0, x0 + wl}, ws[2] = {wl, w - wl}, ys[2] = {y0, y0 + hl}, hs[2] = {hl, h - hl};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
            if (ws[i] > 0 && hs[j] > 0)
                wavpack2d_block(rows, xs[i], ys[j], ws[i], hs[j], levels - 1, row_bank, col_bank, forward, 0,
                                0);
    if (!forward) wav2d_level(rows, x0, y0, w, h, row_bank, col_bank, false, shift_rows, shift_cols);
}

bool wav2d_inpl(float** rows, int height, int width, int levels, const WaveletBank& bank, bool forward,
                int shift_rows, int shift_cols) {
    std::vector<int> hs, ws;
    if (!rows || levels < 0 ||
        !level_sizes(height, width, levels, bank, shift_rows & 1, shift_cols & 1, hs, ws))
        return false;
    for (int i = 0; i < levels; ++i) {
        const int l = forward ? i : levels - 1 - i;
        wav2d_level(rows, 0, 0, ws[l], hs[l], bank, bank, forward, l == 0 ? shift_rows & 1 : 0,
                    l == 0 ? shift_cols & 1 : 0);
    }
    return true;
}

bool wavpack2d_inpl(float** rows, int height, int width, int levels, const WaveletBank& bank, bool forward,
                    int shift_rows, int shift_cols) {
    if (!rows || levels < 0 || !packet_sizes_fit(height, width, levels, bank, shift_rows & 1, shift_cols & 1))
        return false;
    wavpack2d_block(rows, 0, 0, width, height, levels, bank, bank, forward, shift_rows & 1, shift_cols & 1);
    return true;
}
