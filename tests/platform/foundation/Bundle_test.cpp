#include "platform/foundation/Bundle.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using foundation::Bundle;

namespace {

void touch(const std::filesystem::path& p) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

} // namespace

TEST(Bundle, FindsNameWithTypeAsExtension) {
    TemporaryDirectory dir;
    touch(dir.path() / "paper.jpg");
    touch(dir.path() / "gradient.png");
    touch(dir.path() / "README");
    Bundle bundle(dir.path().string());
    struct Case {
        const char* name;
        const char* type;
        bool found;
    };
    const Case cases[] = {
        {"paper", "jpg", true}, {"paper", "png", false}, {"gradient.png", "", true}, {"README", "", true},
        {"paper", "", false},   {"", "jpg", false},      {"missing", "jpg", false},
    };
    for (const Case& c : cases) {
        std::string path = bundle.pathForResourceOfType(c.name, c.type);
        EXPECT_EQ(!path.empty(), c.found) << c.name << "." << c.type;
        if (c.found) {
            EXPECT_TRUE(std::filesystem::exists(path));
        }
    }
}

TEST(Bundle, ClassLookupTriesMainThenShared) {
    TemporaryDirectory dir;
    const auto main = dir.path() / "share" / "opalene";
    touch(main / "both.png");
    touch(main / "Textures.bundle" / "both.png");
    touch(main / "Textures.bundle" / "sharedOnly.jpg");
    touch(main / "mainOnly.cifilter");
    ScopedEnvironment environment{{"OPALENE_RESOURCES", main.string()}};

    EXPECT_EQ(Bundle::mainBundle().bundlePath(), main.string());
    EXPECT_EQ(Bundle::pathForResource("both", "png"), (main / "both.png").string());
    EXPECT_EQ(Bundle::pathForResource("sharedOnly", "jpg"),
              (main / "Textures.bundle" / "sharedOnly.jpg").string());
    EXPECT_EQ(Bundle::pathForResource("mainOnly", "cifilter"), (main / "mainOnly.cifilter").string());
    EXPECT_EQ(Bundle::pathForResource("nowhere", "png"), "");
}

TEST(Bundle, PictureLookupTriesJpegThenPngInBothBundles) {
    TemporaryDirectory dir;
    const auto main = dir.path() / "share" / "opalene";
    const auto shared = main / "Textures.bundle";
    touch(main / "both.jpg");
    touch(main / "both.png");
    touch(main / "pngOnly.png");
    touch(shared / "sharedPng.png");
    touch(shared / "mixed.jpg");
    touch(main / "mixed.png");
    touch(main / "other.gif");
    ScopedEnvironment environment{{"OPALENE_RESOURCES", main.string()}};

    struct Case {
        const char* name;
        std::filesystem::path expected; // empty: not found
    };
    const Case cases[] = {
        {"both", main / "both.jpg"},
        {"pngOnly", main / "pngOnly.png"},
        {"sharedPng", shared / "sharedPng.png"},
        {"mixed", shared / "mixed.jpg"},
        {"other", {}},
        {"nowhere", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bundle::pathForImageResource(c.name), c.expected.string()) << c.name;
}
