#include "platform/foundation/FileLocations.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(FileLocations, OverridesAreCreatedOnFirstUse) {
    TemporaryDirectory dir;
    const fs::path data = dir.path() / "deep" / "data";
    const fs::path config = dir.path() / "deep" / "config";
    ScopedEnvironment environment{{"OPALENE_DATA_DIR", data.string()},
                                  {"OPALENE_CONFIG_DIR", config.string()}};
    EXPECT_EQ(foundation::applicationSupportDirectory(), data.string());
    EXPECT_EQ(foundation::configurationDirectory(), config.string());
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_TRUE(fs::is_directory(config));
}

TEST(FileLocations, FollowTheXdgFoldersAndIgnoreRelativeOnes) {
    TemporaryDirectory dir;
    ScopedEnvironment environment{{"HOME", dir.path().string()},
                                  {"XDG_DATA_HOME", (dir.path() / "xdata").string()},
                                  {"XDG_CONFIG_HOME", "relative/config"}};
    environment.unset("OPALENE_DATA_DIR");
    environment.unset("OPALENE_CONFIG_DIR");
    EXPECT_EQ(foundation::applicationSupportDirectory(), (dir.path() / "xdata" / "opalene").string());
    EXPECT_EQ(foundation::configurationDirectory(), (dir.path() / ".config" / "opalene").string());
    EXPECT_TRUE(fs::is_directory(dir.path() / ".config" / "opalene"));
}
