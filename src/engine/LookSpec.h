#pragma once
// How a look is declared, once: its display name, its category and up to two sliders. An effect
// class answers the declaration of its current type (PostProcess::look_spec); the base class
// answers get_name, get_categorie, param_1 and param_2 from it. Classes of several looks keep a
// table of these, one entry per type, and a placeholder for a type outside the table.

struct SliderSpec {
    const char* key = nullptr; // localisation key, or the slider's English text; null: no slider
    double min = 0.0;
    double max = 0.0;
    double def = 0.0;
    bool literal = false; // named by key as given, never localised
};

// A slider named by the localised text of key.
constexpr SliderSpec localizedSlider(const char* key, double min, double max, double def) {
    return {key, min, max, def, false};
}

// A slider named by its English text, for the looks whose sliders were never localised.
constexpr SliderSpec literalSlider(const char* name, double min, double max, double def) {
    return {name, min, max, def, true};
}

struct LookSpec {
    const char* name;
    const char* category;
    SliderSpec param1{};
    SliderSpec param2{};
};

// The entry of type in a class's table, or the placeholder for a type outside it.
template <int N>
const LookSpec* lookOfType(const LookSpec (&looks)[N], int type, const LookSpec* placeholder) {
    return type >= 0 && type < N ? &looks[type] : placeholder;
}
