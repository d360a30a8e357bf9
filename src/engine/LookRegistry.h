#pragma once
// Every effect class, registered once: how to make each of its looks, how many it declares and
// what callers may rely on when running them. The catalogue, the tests that sweep every look,
// the benchmarks and the look sheet read this list; no other list of effect classes is kept.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PostProcess;

enum LookFlag : uint32_t {
    kLookDeterministic = 1u << 0,     // the same picture and values give the same bytes every run
    kLookIndependentPixels = 1u << 1, // answers pixels_are_independent: its passes may be split
    kLookFrame = 1u << 2,             // a frame, run after an effect, never a catalogue look
    kLookAdjustments = 1u << 3,       // the editor's adjustments effect
};

struct LookClass {
    std::string typeName; // what its effects answer to class_name()
    int32_t variants = 1; // its looks are the types 0 .. variants - 1
    uint32_t flags = 0;   // LookFlag bits that hold for every type but those drawing random numbers
    std::vector<int32_t> randomTypes; // types that draw random numbers: neither deterministic nor independent
    // The look of that type, initialised with the catalogue index as the catalogue makes it.
    std::function<std::unique_ptr<PostProcess>(int32_t type, int32_t index)> make;

    uint32_t flagsOf(int32_t type) const;
};

class LookRegistry {
  public:
    // Every effect class, ordered by type name.
    static const std::vector<LookClass>& classes();
    // The class of that type name, or null.
    static const LookClass* find(const std::string& typeName);
};
