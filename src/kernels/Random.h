#pragma once
// The generator behind every `rand` and `random` draw of the kernels and effects: the C library's
// range (0 .. 2^31 - 1) with one state per thread, so runs on different threads neither share nor
// lock a generator. A thread starts from an unpredictable state; only tests seed it.
#include <cstdint>

class Random {
  public:
    static constexpr int kMax = 0x7fffffff;

    // 0 .. kMax.
    static int rand() { return int(next() >> 33); }
    static long random() { return long(next() >> 33); }

    // Makes this thread's sequence reproducible.
    static void seed(uint64_t value) {
        state_ = value;
        seeded_ = true;
    }

    // While it lives, this thread's draws follow `value`; the thread's own sequence resumes after.
    class Scoped {
      public:
        explicit Scoped(uint64_t value) : state_(Random::state_), seeded_(Random::seeded_) { seed(value); }
        ~Scoped() {
            Random::state_ = state_;
            Random::seeded_ = seeded_;
        }
        Scoped(const Scoped&) = delete;
        Scoped& operator=(const Scoped&) = delete;

      private:
        uint64_t state_;
        bool seeded_;
    };

  private:
    // splitmix64: any state is a good one, and a step is a few arithmetic instructions.
    static uint64_t next() {
        if (!seeded_) seed_unpredictably();
        uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }
    static void seed_unpredictably();

    static inline thread_local uint64_t state_ = 0;
    static inline thread_local bool seeded_ = false;
};
