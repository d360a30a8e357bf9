#include "platform/services/ApplicationSupportDirectory.h"
#include "platform/services/KXSLocalization.h"
#include "platform/services/KXServiceUtils.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

using services::KXServiceUtils;
using services::KXSLocalization;

TEST(KXSLocalization, EnglishKeysAnswerThemselvesAndIdentifiersTheirText) {
    EXPECT_EQ(KXSLocalization::localizedStringForKey("Amount", ""), "Amount");
    EXPECT_EQ(KXSLocalization::localizedStringForKey("Color Temperature", ""), "Color Temperature");
    EXPECT_EQ(KXSLocalization::localizedStringForKey("", ""), "");
    std::string text = KXSLocalization::localizedStringForKey("kStringNoFilterSelected", "");
    EXPECT_NE(text, "kStringNoFilterSelected");
    EXPECT_FALSE(text.empty());
}

TEST(KXServiceUtils, ScaleIsOneUntilTheInterfaceSetsIt) {
    EXPECT_FALSE(KXServiceUtils::isRetina());
    EXPECT_EQ(KXServiceUtils::backingScaleFactor(), 1.0);

    KXServiceUtils::setBackingScaleFactor(2.0);
    EXPECT_TRUE(KXServiceUtils::isRetina());
    EXPECT_EQ(KXServiceUtils::backingScaleFactor(), 2.0);

    for (double bad :
         {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        KXServiceUtils::setBackingScaleFactor(bad);
        EXPECT_EQ(KXServiceUtils::backingScaleFactor(), 2.0) << bad;
    }

    KXServiceUtils::setBackingScaleFactor(1.0);
    EXPECT_FALSE(KXServiceUtils::isRetina());
}

TEST(KXServiceUtils, SystemVersionTakesTheNewerBranch) {
    EXPECT_GE(KXServiceUtils::systemVersion(), 10.8f);
}

TEST(ApplicationSupportDirectory, ExistsAndIsWritableAfterTheFirstCall) {
    TemporaryDirectory dir;
    const auto folder = dir.path() / "support";
    ScopedEnvironment environment{{"OPALENE_DATA_DIR", folder.string()}};
    std::string path = services::applicationSupportDirectory();
    EXPECT_EQ(path, folder.string());
    ASSERT_TRUE(std::filesystem::is_directory(path));
    std::ofstream out(path + "/presets");
    out << "x";
    out.close();
    EXPECT_TRUE(out.good());
}

TEST(KXServiceUtilsVersions, CompareNumberByNumber) {
    struct Case {
        const char *a, *b;
        int expected;
    };
    const Case cases[] = {{"1.10", "1.9", 1},  {"1.9", "1.10", -1}, {"2.0", "2", 0},
                          {"2.0.1", "2.0", 1}, {"", "0", 0},        {"10.7.0", "10.10.1", -1},
                          {"1.2b", "1.2", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(services::KXServiceUtils::compareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(services::KXServiceUtils::currentVersionCompare("10.7.0"), 1);
    EXPECT_EQ(services::KXServiceUtils::currentVersionCompare("99"), -1);
}

TEST(KXServiceUtils, PresetNamesAreShortPrintableUtf8) {
    struct Case {
        const char* name;
        std::string text;
        bool valid;
    } cases[] = {
        {"empty (reported by the caller)", "", true},
        {"plain", "Warm evening", true},
        {"accents and other scripts", "Été 夜 ☕", true},
        {"31 characters", std::string(31, 'a'), true},
        {"32 characters", std::string(32, 'a'), false},
        {"31 two-byte characters",
         [] {
             std::string s;
             for (int i = 0; i < 31; ++i)
                 s += "é";
             return s;
         }(),
         true},
        {"tab", "a\tb", false},
        {"new line", "a\nb", false},
        {"delete character", "a\x7f", false},
        {"broken UTF-8", "a\xc3", false},
        {"overlong UTF-8", "\xc0\xaf", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(services::KXServiceUtils::isTextFieldStringValid(c.text, 0), c.valid);
    }
}

TEST(KXServiceUtils, OfflineAndTheParentScreenFollowsTheScale) {
    // Offline: the rate prompt after a save, which asks for a connection, never comes up.
    EXPECT_FALSE(KXServiceUtils::connectedToNetwork());
    KXServiceUtils::setBackingScaleFactor(2.0);
    EXPECT_TRUE(KXServiceUtils::parentScreenIsRetina());
    KXServiceUtils::setBackingScaleFactor(1.0);
    EXPECT_FALSE(KXServiceUtils::parentScreenIsRetina());
}
