#pragma once
// Two-channel filter banks for the wavelet transforms. Tap k of a filter sits at position
// k + start, so a filter is applied as y[p] = sum_k f[k] x[p - (k + start)]. The low band
// is kept at positions of the transform's sampling phase and the high band at the others;
// the high-pass filters are the low-pass filters of the other side modulated by (-1)^n,
// which makes every bank below reconstruct perfectly.
//
// Banks (coefficients are the published values, normalised to a sum of sqrt(2)):
//   'N'           Kingsbury's 14-tap orthogonal Q-shift pair for the later levels of the
//                 dual-tree transforms; taps -1 gives it time-reversed (the other tree).
//   'H'           Haar.
//   'A'           Antonini (Cohen-Daubechies-Feauveau 9/7 biorthogonal): analysis
//                 low-pass 9 taps, synthesis low-pass 7 taps, whole-sample symmetric.
//   other, taps 9 the Daubechies 7/9 pair: the same biorthogonal bank used the other way
//                 round, analysis low-pass 7 taps, synthesis low-pass 9 taps.
//   other         the 8-tap Daubechies orthogonal pair (four vanishing moments).
// Symmetric banks mirror lines at their ends (phase 0); the others wrap them (phase 1),
// which needs even line lengths.

constexpr int kMaxWaveletTaps = 14;

struct WaveletFilter {
    float taps[kMaxWaveletTaps];
    int length;
    int start;
};

struct WaveletBank {
    WaveletFilter analysis_lp, analysis_hp, synthesis_lp, synthesis_hp;
    int phase; // 0: mirrored line ends; otherwise periodic
    // Length of the longest filter: how far lines are extended past each end.
    int extension() const;
};

// Fills `bank` for the given bank letter and tap count; always succeeds.
bool choose_filter(char bank_name, int taps, WaveletBank& bank);
