#include "engine/SortHidePostProcessSupportManager.h"

#include "platform/foundation/FileLocations.h"
#include "platform/foundation/UserDefaults.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>

using foundation::Dictionary;
using foundation::UserDefaults;
using foundation::Value;

namespace {

const char* const kVisibleKey = "SortHidePPSupportManagerVisibleDictionary";
const char* const kCategoriesWeightKey = "SortHidePPSupportManagerCategoriesWeightDictionary";
const char* const kWeightKey = "SortHidePPSupportManagerWeightDictionary";

struct SortHideStore : testing::Test {
    TemporaryDirectory dir;
    std::string file = dir.file("defaults.json");
};

} // namespace

TEST_F(SortHideStore, FreshStoreShowsEveryEffectWithZeroWeights) {
    UserDefaults defaults(file);
    SortHidePostProcessSupportManager manager(defaults);
    EXPECT_FALSE(manager.isHiddenForPPName("Sketch"));
    EXPECT_EQ(manager.weightForPPName("Sketch"), 0u);
    EXPECT_EQ(manager.weightInCategoryForPPName("Sketch"), 0u);
    EXPECT_TRUE(manager.ppVisibleDictionary().empty());
    EXPECT_FALSE(defaults.objectForKey(kVisibleKey)); // reading writes nothing
}

TEST_F(SortHideStore, SettingsSurviveARestartOfTheStore) {
    const std::string name = "B&W Grained";
    const std::uint64_t big = std::uint64_t(1) << 40;
    {
        UserDefaults defaults(file);
        SortHidePostProcessSupportManager manager(defaults);
        manager.setHidden(true, name);
        manager.setHidden(true, "Old TV");
        manager.setWeight(big, name);
        manager.setWeightInCategory(7, name);
        manager.setWeight(UINT64_MAX, "Old TV");
        manager.setHidden(false, "Old TV");
    }
    UserDefaults defaults(file);
    SortHidePostProcessSupportManager manager(defaults);
    EXPECT_TRUE(manager.isHiddenForPPName(name));
    EXPECT_EQ(manager.weightForPPName(name), big);
    EXPECT_EQ(manager.weightInCategoryForPPName(name), 7u);
    EXPECT_EQ(manager.weightForPPName("Old TV"), UINT64_MAX);
    EXPECT_EQ(manager.weightInCategoryForPPName("Old TV"), 0u);
    // Shown again is an entry saying "not hidden", not a removed entry.
    EXPECT_FALSE(manager.isHiddenForPPName("Old TV"));
    ASSERT_TRUE(manager.ppVisibleDictionary().count("Old TV"));
    EXPECT_EQ(manager.ppVisibleDictionary().at("Old TV"), Value(false));
}

TEST_F(SortHideStore, SaveLeavesDictionariesNeverReadAsStored) {
    UserDefaults defaults(file);
    const Dictionary weights{{"Sketch", Value(5)}};
    defaults.setObject(Value(weights), kWeightKey);
    SortHidePostProcessSupportManager manager(defaults);
    manager.setHidden(true, "Sketch");

    EXPECT_EQ(defaults.dictionaryForKey(kWeightKey), weights);
    EXPECT_FALSE(defaults.objectForKey(kCategoriesWeightKey));
    EXPECT_EQ(defaults.dictionaryForKey(kVisibleKey), (Dictionary{{"Sketch", Value(true)}}));
    // Loaded from the store rather than started empty.
    EXPECT_EQ(manager.weightForPPName("Sketch"), 5u);
}

TEST_F(SortHideStore, ResetForgetsEverySettingAndRemovesTheKeys) {
    UserDefaults defaults(file);
    SortHidePostProcessSupportManager manager(defaults);
    manager.setHidden(true, "Sketch");
    manager.setWeight(3, "Sketch");
    manager.setWeightInCategory(4, "Sketch");

    manager.resetToDefaults();
    for (const char* key : {kVisibleKey, kCategoriesWeightKey, kWeightKey})
        EXPECT_FALSE(defaults.objectForKey(key)) << key;
    EXPECT_FALSE(manager.isHiddenForPPName("Sketch"));
    EXPECT_EQ(manager.weightForPPName("Sketch"), 0u);
    EXPECT_EQ(manager.weightInCategoryForPPName("Sketch"), 0u);

    UserDefaults reopened(file);
    EXPECT_FALSE(reopened.objectForKey(kWeightKey));
}

TEST_F(SortHideStore, SharedManagerKeepsItsSettingsInTheStandardStore) {
    const ScopedEnvironment environment{{"OPALENE_CONFIG_DIR", dir.path().string()}};
    SortHidePostProcessSupportManager& shared =
        SortHidePostProcessSupportManager::sharedSortHidePostProcessSupportManager();
    EXPECT_EQ(&shared, &SortHidePostProcessSupportManager::sharedSortHidePostProcessSupportManager());
    shared.setWeight(9, "Sketch");

    UserDefaults reopened(foundation::configurationDirectory() + "/defaults.json");
    EXPECT_EQ(reopened.dictionaryForKey(kWeightKey), (Dictionary{{"Sketch", Value(9)}}));
}
