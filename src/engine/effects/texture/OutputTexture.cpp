#include "engine/effects/texture/OutputTexture.h"

#include "engine/PostProcess.h"

texture_t* OutputTexture::take() {
    forget();
    const int32_t w = PostProcess::g_width, h = PostProcess::g_height;
    m_held = PostProcess::take_output_buffer(size_t(w) * size_t(h) * 4);
    if (!m_held) return nullptr;
    m_tex = {m_held, w, h, 4};
    return &m_tex;
}

void OutputTexture::hand_back() {
    if (!m_held) return;
    PostProcess::keep_spare(m_held, size_t(m_tex.width) * size_t(m_tex.height) * 4);
    m_held = nullptr;
}
