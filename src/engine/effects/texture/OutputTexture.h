#pragma once
// A full-size run's whole picture drawn straight into the buffer the run loop then writes its
// output to, so that the run holds no third full-size picture beside the working image and the
// output. Only for a pixel hook that reads texel (x, y) for output pixel (x, y) alone: the loop
// stores a pixel only after its hook has read it, and no other pixel reads that texel.
#include "kernels/Texture.h"

#include <cstdint>

class OutputTexture {
  public:
    OutputTexture() = default;
    OutputTexture(const OutputTexture&) = delete;
    OutputTexture& operator=(const OutputTexture&) = delete;
    ~OutputTexture() { hand_back(); }

    // The run's output buffer (the working image's size) as a texture to draw into; null when
    // memory ran out. Hand it back once drawn.
    texture_t* take();
    // Gives the buffer back as the spare, where the run loop takes its output from: the texture
    // stays readable through the run's pixel passes. Also when drawing failed.
    void hand_back();
    // Forgets the texture; the run owns its buffer.
    void forget() {
        hand_back();
        m_tex = {};
    }
    texture_t* get() { return m_tex.data ? &m_tex : nullptr; }
    // Frees tex, or forgets it when it is this texture; tex is then null.
    void release(texture_t*& tex) {
        if (tex && tex == get())
            forget();
        else
            tex_free(tex);
        tex = nullptr;
    }

  private:
    texture_t m_tex{};
    uint8_t* m_held = nullptr; // taken and not yet handed back
};
