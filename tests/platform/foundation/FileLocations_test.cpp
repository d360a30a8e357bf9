#include "platform/foundation/FileLocations.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(FileLocations, OverridesAreCreatedOnFirstUse) {
    TemporaryDirectory dir;
    const fs::path data = dir.path() / "deep" / "data";
    const fs::path config = dir.path() / "deep" / "config";
    setenv("OPALENE_DATA_DIR", data.c_str(), 1);
    setenv("OPALENE_CONFIG_DIR", config.c_str(), 1);
    EXPECT_EQ(foundation::applicationSupportDirectory(), data.string());
    EXPECT_EQ(foundation::configurationDirectory(), config.string());
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_TRUE(fs::is_directory(config));
}

TEST(FileLocations, FollowTheXdgFoldersAndIgnoreRelativeOnes) {
    TemporaryDirectory dir;
    unsetenv("OPALENE_DATA_DIR");
    unsetenv("OPALENE_CONFIG_DIR");
    setenv("HOME", dir.path().c_str(), 1);
    setenv("XDG_DATA_HOME", (dir.path() / "xdata").c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(foundation::applicationSupportDirectory(), (dir.path() / "xdata" / "opalene").string());
    EXPECT_EQ(foundation::configurationDirectory(), (dir.path() / ".config" / "opalene").string());
    EXPECT_TRUE(fs::is_directory(dir.path() / ".config" / "opalene"));
}
