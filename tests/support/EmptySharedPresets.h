#pragma once

// The shared preset list empty while a test lives, as in a program started afresh, and emptied
// again at the end so that no preset of the test reaches the next one in the same process.

#include "engine/CustomPresetsManager.h"

#include <vector>

class EmptySharedPresets {
  public:
    EmptySharedPresets() { clear(); }
    ~EmptySharedPresets() { clear(); }
    EmptySharedPresets(const EmptySharedPresets&) = delete;
    EmptySharedPresets& operator=(const EmptySharedPresets&) = delete;

  private:
    static void clear() {
        CustomPresetsManager& presets = CustomPresetsManager::sharedCustomPresetsManager();
        for (const auto& preset : std::vector(presets.presets()))
            presets.deletePreset(preset);
    }
};
