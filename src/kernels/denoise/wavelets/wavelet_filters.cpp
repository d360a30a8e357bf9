#include "kernels/denoise/wavelets/wavelet_filters.h"

#include <algorithm>

namespace {

// Published coefficients, normalised to a sum of sqrt(2).
constexpr float kHaar[2] = {0.70710678118654752f, 0.70710678118654752f};

// Cohen-Daubechies-Feauveau 9/7: the 9-tap and the 7-tap low-pass filters, centre first.
constexpr float kCdf9Half[5] = {0.852698679009403f, 0.377402855612654f, -0.110624404418423f,
                                -0.023849465019380f, 0.037828455506995f};
constexpr float kCdf7Half[4] = {0.788485616405664f, 0.418092273222212f, -0.040689417609558f,
                                -0.064538882628938f};

// Daubechies orthogonal, 8 taps.
constexpr float kDaub8[8] = {0.2303778133088964f,  0.7148465705529154f,  0.6308807679298587f,
                             -0.0279837694168599f, -0.1870348117190931f, 0.0308413818355607f,
                             0.0328830116668852f,  -0.0105974017850690f};

// Kingsbury's 14-tap Q-shift low-pass filter (orthonormal) for the levels after the first of a
// dual-tree transform: N. G. Kingsbury, "A dual-tree complex wavelet transform with improved
// orthogonality and symmetry properties", Proc. IEEE ICIP 2000, pp. 375-378 (the 14-tap design;
// the same values, to 15 digits, are tabulated as "qshift_b" in Kingsbury's dual-tree toolbox).
// The other tree uses it time-reversed, which is half a sample later in its pass band.
constexpr float kQshift14[14] = {0.00325314276365318f,  -0.00388321199915849f, 0.0346603468448535f,
                                 -0.0388728012688278f,  -0.117203887699115f,   0.275295384668882f,
                                 0.756145643892523f,    0.568810420712123f,    0.0118660920337970f,
                                 -0.106711804686665f,   0.0238253847949203f,   0.0170252238815540f,
                                 -0.00543947593727412f, -0.00455689562847549f};

WaveletFilter symmetric(const float* half, int half_len) {
    WaveletFilter f{};
    f.length = 2 * half_len - 1;
    f.start = -(half_len - 1);
    for (int k = 0; k < f.length; ++k)
        f.taps[k] = half[k < half_len - 1 ? half_len - 1 - k : k - (half_len - 1)];
    return f;
}

WaveletFilter plain(const float* taps, int length, int start) {
    WaveletFilter f{};
    f.length = length;
    f.start = start;
    std::copy(taps, taps + length, f.taps);
    return f;
}

WaveletFilter reversed(const WaveletFilter& f) {
    WaveletFilter r{};
    r.length = f.length;
    r.start = -(f.start + f.length - 1);
    for (int k = 0; k < f.length; ++k)
        r.taps[k] = f.taps[f.length - 1 - k];
    return r;
}

// g[n] = (-1)^n f[n]
WaveletFilter modulated(const WaveletFilter& f) {
    WaveletFilter g = f;
    for (int k = 0; k < f.length; ++k)
        if ((k + f.start) % 2 != 0) g.taps[k] = -g.taps[k];
    return g;
}

WaveletBank from_low_passes(const WaveletFilter& analysis_lp, const WaveletFilter& synthesis_lp, int phase) {
    WaveletBank b{};
    b.analysis_lp = analysis_lp;
    b.synthesis_lp = synthesis_lp;
    b.analysis_hp = modulated(synthesis_lp);
    b.synthesis_hp = modulated(analysis_lp);
    b.phase = phase;
    return b;
}

} // namespace

int WaveletBank::extension() const {
    return std::max({analysis_lp.length, analysis_hp.length, synthesis_lp.length, synthesis_hp.length});
}

bool choose_filter(char bank_name, int taps, WaveletBank& bank) {
    switch (bank_name) {
    case 'N': {
        // Reversed within the same window of taps: moving it would add a whole sample of delay.
        WaveletFilter lp = plain(kQshift14, 14, -7);
        if (taps == -1) std::reverse(lp.taps, lp.taps + lp.length);
        bank = from_low_passes(lp, reversed(lp), 1);
        return true;
    }
    case 'H': {
        const WaveletFilter lp = plain(kHaar, 2, 0);
        bank = from_low_passes(lp, reversed(lp), 1);
        return true;
    }
    case 'A':
        bank = from_low_passes(symmetric(kCdf9Half, 5), symmetric(kCdf7Half, 4), 0);
        return true;
    default:
        if (taps == 9) {
            bank = from_low_passes(symmetric(kCdf7Half, 4), symmetric(kCdf9Half, 5), 0);
        } else {
            const WaveletFilter lp = plain(kDaub8, 8, -4);
            bank = from_low_passes(lp, reversed(lp), 1);
        }
        return true;
    }
}
