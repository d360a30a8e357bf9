#pragma once
// Derive an effect through LevelRows<Effect> when each channel of its colour is a function of that
// channel of the source pixel alone, the same at every pixel and pass (contrast, inversion, a
// level curve). The effect gives that function as colour(source) in single precision; its pixel
// hook is colour(get_source_pixel(x, y)), and its passes are written through the levels colour
// makes of the 256 source bytes, which give the same bytes as the hook.
#include "engine/PostProcess.h"

template <class Effect, class Base = PostProcess> class LevelRows : public Base {
  public:
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override {
        (void)pass;
        return static_cast<Effect&>(*this).colour(PostProcess::get_source_pixel(x, y));
    }

  protected:
    bool channel_levels(ChannelLevels& levels) override {
        Effect& self = static_cast<Effect&>(*this);
        PostProcess::make_levels([&self](const pixel_t& source) { return self.colour(source); }, levels);
        return true;
    }
};
