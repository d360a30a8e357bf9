#pragma once
// What a per-pixel pass writes for each source byte, channel by channel, where every channel of
// the hook's colour depends on that channel's source byte alone: the run loop then looks the bytes
// up instead of calling the hook and converting its colour per pixel. word[c][v] is the byte the
// pass writes for channel c (0 red, 1 green, 2 blue) of a marked pixel whose source byte is v,
// already placed in the little-endian pixel word (bits 8 (c + 1) .. 8 (c + 1) + 7).
#include <cstdint>

struct ChannelLevels {
    uint32_t word[3][256];
};
