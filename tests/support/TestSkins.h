#pragma once

// Skins from a folder of the test's own (beside an empty Textures.bundle) while it lives: the
// bundle points there and the skin cache is emptied at both ends, so no picture from before shows
// in the test and none of the test's outlives it.

#include "controls/SharedBundle.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <string>

class TestSkins {
  public:
    TestSkins() {
        std::filesystem::create_directories(dir_.path() / "Textures.bundle");
        environment_.set("OPALENE_RESOURCES", dir_.path().string());
        SharedBundle::clearImageCache();
    }
    ~TestSkins() { SharedBundle::clearImageCache(); }
    TestSkins(const TestSkins&) = delete;
    TestSkins& operator=(const TestSkins&) = delete;

    const std::filesystem::path& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }

  private:
    TemporaryDirectory dir_;
    ScopedEnvironment environment_;
};
