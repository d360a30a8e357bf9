#pragma once
// The pixel effects exchange: three single-precision channels, nominally 0..1, passed by value.
// Values outside 0..1 are allowed in between; only the final store clamps.

struct pixel_t {
    float r;
    float g;
    float b;
};
