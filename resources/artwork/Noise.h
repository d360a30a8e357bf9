#pragma once
// Randomness that gives the same numbers on every machine and library: our own generator,
// hashed lattice noise and directions, from integer arithmetic and the exactly rounded float
// operations (+ - * / sqrt) only; the maths library's transcendental functions may round
// differently from one version or processor to the next.
#include <cstdint>
#include <vector>

namespace artwork {

// SplitMix64: one fixed seed per picture keeps every picture reproducible on its own.
class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    float uniform(); // [0, 1)
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(next() % uint64_t(n)); }

  private:
    uint64_t state_;
};

// 0..1 from an integer position: per-pixel grain.
float whiteNoise(int x, int y, uint32_t seed);

// Smooth noise in 0..1 on a unit lattice. A period above 0 makes it repeat every period cells
// in x and y, which is how seamless tiles are made.
float valueNoise(float x, float y, uint32_t seed, int period = 0);

// Several octaves of value noise, each twice the frequency of the last; 0..1, mean about 0.5.
// x and y are in cells of the first octave; period (if any) is that octave's and doubles with it.
struct Fractal {
    uint32_t seed = 1;
    int octaves = 5;
    float gain = 0.5f;
    int period = 0;
};
float fbm(float x, float y, const Fractal& f);

// fbm over a w x h picture with first-octave cells of `cell` pixels, computed on a grid coarse
// enough for its finest octave and interpolated: large smooth fields at a fraction of the cost.
class SmoothField {
  public:
    SmoothField(int w, int h, float cell, const Fractal& f);
    float at(int x, int y) const;

  private:
    int step_, columns_, rows_;
    std::vector<float> values_;
};

// The unit vector at an angle in radians.
struct Direction {
    float x, y;
};
Direction direction(float radians);

} // namespace artwork
