#pragma once
// Derive an effect through PixelRows<Effect> (or PixelRows<Effect, ItsBase>) to have the run loop
// call the effect's own process_pixel_x directly, where it can be inlined, instead of once per pixel
// through the virtual table. Results, progress and cancellation stay those of the base loop.
// Only for an Effect whose process_pixel_x no further subclass overrides: the call is qualified.
#include "engine/PostProcess.h"

template <class Effect, class Base = PostProcess> class PixelRows : public Base {
  protected:
    bool process_row(const foundation::Thread& thread, int32_t y, int32_t pass, uint8_t* dst) override {
        Effect& self = static_cast<Effect&>(*this);
        return this->write_row(thread, y, pass, dst, [&self](int32_t x, int32_t y, int32_t pass) {
            return self.Effect::process_pixel_x(x, y, pass);
        });
    }
};
