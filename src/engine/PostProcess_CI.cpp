// Core Image hooks of every effect class. Until the Core Image path is built these answer that no
// filter exists, so every effect runs through its per-pixel or custom hooks; that path replaces
// the bodies in this file.
#include "engine/PostProcess.h"

void PostProcess::ci_init() {}

bool PostProcess::has_ci_process_function() {
    return m_ci_present;
}

graphics::ImagePtr PostProcess::ci_process_function() {
    return nullptr;
}

void PostProcess::ci_dealloc() {
    m_ci_filter.reset();
}

std::shared_ptr<coreimage::Filter> PostProcess::ci_filter_with_name(const std::string& name) {
    (void)name;
    return nullptr;
}

void PostProcess::ci_filter_set_params() {}
