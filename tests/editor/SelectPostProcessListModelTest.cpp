#include "editor/SelectPostProcessListModel.h"

#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "engine/SortHidePostProcessSupportManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

class ListModel : public ::testing::Test {
  protected:
    void SetUp() override {
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
    }
    static std::vector<std::string> names(const std::vector<PostProcess*>& list) {
        std::vector<std::string> out;
        for (PostProcess* effect : list)
            out.push_back(effect->get_name());
        return out;
    }
    static PostProcess* catalogueEffect(bool frame) {
        for (const auto& e : PostProcessesManager::sharedPostProcessesManager().postProcesses())
            if (e->isFrame() == frame) return e.get();
        return nullptr;
    }
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    SelectPostProcessListModel model;
};

} // namespace

TEST(ListModelCompare, PlainAndNumericOrders) {
    struct Case {
        const char* a;
        const char* b;
        int plain;
        int numeric;
    };
    const Case cases[] = {
        {"Sketch 2", "Sketch 10", 1, -1},
        {"Sketch 02", "Sketch 2", -1, 0},
        {"abc", "abd", -1, -1},
        {"B", "a", -1, -1},
        {"x9y", "x10", 1, -1},
        {"same", "same", 0, 0},
        {"Film", "Film 1", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SelectPostProcessListModel::plainCompare(c.a, c.b), c.plain) << c.a << " vs " << c.b;
        EXPECT_EQ(SelectPostProcessListModel::numericCompare(c.a, c.b), c.numeric) << c.a << " vs " << c.b;
    }
}

TEST_F(ListModel, NameFilterIsACaseInsensitiveSubstring) {
    EXPECT_TRUE(model.setFilterString(std::string("SkE")));
    EXPECT_EQ(model.filterString(), "ske");
    EXPECT_TRUE(model.visibleFilteredName("Pencil SKETCH"));
    EXPECT_TRUE(model.visibleFilteredName(""));
    EXPECT_FALSE(model.visibleFilteredName("sk")); // shorter than the filter
    EXPECT_FALSE(model.visibleFilteredName("Halftone"));
    EXPECT_FALSE(model.setFilterString(std::string("ske"))); // already this filter
    EXPECT_TRUE(model.setFilterString(std::nullopt));
    EXPECT_TRUE(model.visibleFilteredName("Halftone"));
}

TEST_F(ListModel, TabsSplitTheCatalogueIntoEffectsAndFramesSortedByName) {
    const std::vector<PostProcess*> effects = model.postProcessesFavorite(false, true);
    model.setSelectedTab(SelectPostProcessListModel::kTabFrames);
    const std::vector<PostProcess*> frames = model.postProcessesFavorite(false, true);
    ASSERT_FALSE(effects.empty());
    for (PostProcess* e : effects)
        EXPECT_FALSE(e->isFrame()) << e->get_name();
    for (PostProcess* e : frames)
        EXPECT_TRUE(e->isFrame()) << e->get_name();
    const auto sorted = [](const std::vector<std::string>& n) {
        return std::is_sorted(n.begin(), n.end(), [](const std::string& a, const std::string& b) {
            return SelectPostProcessListModel::plainCompare(a, b) < 0;
        });
    };
    EXPECT_TRUE(sorted(names(effects)));
    EXPECT_TRUE(sorted(names(frames)));
    size_t visibleCount = 0;
    for (const auto& e : PostProcessesManager::sharedPostProcessesManager().postProcesses())
        if (!e->isHidden()) ++visibleCount;
    EXPECT_EQ(effects.size() + frames.size(), visibleCount);
}

TEST_F(ListModel, HiddenEffectsNeverAppearAndFavouritesNarrowTheList) {
    PostProcess* hidden = catalogueEffect(false);
    PostProcess* favourite = model.postProcessesFavorite(false, true).back();
    ASSERT_NE(hidden, favourite);
    SortHidePostProcessSupportManager::sharedSortHidePostProcessSupportManager().setHidden(
        true, hidden->get_name());
    favourite->set_fav(true);
    const std::vector<std::string> all = names(model.postProcessesFavorite(false, false));
    EXPECT_EQ(std::count(all.begin(), all.end(), hidden->get_name()), 0);
    EXPECT_EQ(names(model.postProcessesFavorite(true, true)),
              std::vector<std::string>{favourite->get_name()});
    const std::vector<std::string> category = names(model.processForCategory(hidden->get_categorie(), false));
    EXPECT_EQ(std::count(category.begin(), category.end(), hidden->get_name()), 0);
    favourite->set_fav(false);
}

TEST_F(ListModel, CategoriesAreDistinctAndEachListsItsOwnMembers) {
    const std::vector<std::string> categories = model.categories();
    ASSERT_GT(categories.size(), 1u);
    EXPECT_EQ(std::set<std::string>(categories.begin(), categories.end()).size(), categories.size());
    size_t total = 0;
    for (const std::string& category : categories) {
        const std::vector<PostProcess*> members = model.processForCategory(category, false);
        EXPECT_FALSE(members.empty()) << category;
        for (PostProcess* e : members) {
            EXPECT_EQ(e->get_categorie(), category);
            EXPECT_FALSE(e->isFrame());
        }
        total += members.size();
    }
    EXPECT_EQ(total, model.processForCategory(std::nullopt, false).size());
    model.setSelectedTab(SelectPostProcessListModel::kTabPresets);
    EXPECT_TRUE(model.categories().empty());
}

TEST_F(ListModel, AFilterNarrowsCategoryListsAfterTheCachesAreDropped) {
    const size_t before = model.currentEffects(0).size();
    const std::string name = model.currentEffects(0).front()->get_name();
    ASSERT_TRUE(model.setFilterString(name));
    const std::vector<std::string> filtered = names(model.currentEffects(0));
    EXPECT_LT(filtered.size(), before);
    EXPECT_NE(std::find(filtered.begin(), filtered.end(), name), filtered.end());
}

TEST_F(ListModel, RememberedCategoryComesBackFromTheDefaults) {
    const std::vector<std::string> categories = model.categories();
    ASSERT_GT(categories.size(), 2u);
    model.rememberCategoryRow(2);
    EXPECT_EQ(foundation::UserDefaults::standardUserDefaults().stringForKey(
                  "k_Categories_Popover_Selected_Cell_Key"),
              categories[1]);
    SelectPostProcessListModel fresh;
    EXPECT_EQ(fresh.rememberedCategoryRow(), 2);
    // The Frames tab falls back to the Effects tab's key; a name it does not list is row 0.
    fresh.setSelectedTab(SelectPostProcessListModel::kTabFrames);
    EXPECT_EQ(fresh.rememberedCategoryRow(), 0);
    fresh.rememberCategoryRow(0);
    EXPECT_EQ(foundation::UserDefaults::standardUserDefaults().stringForKey(
                  "kCategoriesPopoverSelectedCellFramesKey"),
              SelectPostProcessListModel::allFramesName());
    foundation::UserDefaults::standardUserDefaults().setObject(
        foundation::Value(std::string("No Such Category")), "k_Categories_Popover_Selected_Cell_Key");
    fresh.setSelectedTab(SelectPostProcessListModel::kTabEffects);
    EXPECT_EQ(fresh.rememberedCategoryRow(), 0);
    fresh.setSelectedTab(SelectPostProcessListModel::kTabPresets);
    EXPECT_EQ(fresh.rememberedCategoryRow(), 0);
}

TEST_F(ListModel, PresetsPassTheFilterInStoreOrder) {
    auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
    presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm Morning"));
    presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "cold night"));
    presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm Evening"));
    std::vector<std::string> listed;
    for (const auto& p : model.filteredPresets())
        listed.push_back(p->name());
    EXPECT_EQ(listed, (std::vector<std::string>{"Warm Morning", "cold night", "Warm Evening"}));
    model.setFilterString(std::string("WARM"));
    listed.clear();
    for (const auto& p : model.filteredPresets())
        listed.push_back(p->name());
    EXPECT_EQ(listed, (std::vector<std::string>{"Warm Morning", "Warm Evening"}));
}

TEST(ListModelTabs, IdentifiersByNumber) {
    EXPECT_EQ(SelectPostProcessListModel::tabIdentifier(0), "Effects");
    EXPECT_EQ(SelectPostProcessListModel::tabIdentifier(1), "Frames");
    EXPECT_EQ(SelectPostProcessListModel::tabIdentifier(2), "Presets");
    EXPECT_EQ(SelectPostProcessListModel::tabIdentifier(3), std::nullopt);
}

TEST_F(ListModel, EachCategoryListKeepsOneOrderFromItsFirstRequest) {
    const auto byValue = [](const std::vector<std::string>& n) {
        return std::is_sorted(n.begin(), n.end(), [](const std::string& a, const std::string& b) {
            return SelectPostProcessListModel::numericCompare(a, b) < 0;
        });
    };
    for (int32_t tab : {SelectPostProcessListModel::kTabEffects, SelectPostProcessListModel::kTabFrames}) {
        model.setSelectedTab(tab);
        std::vector<std::optional<std::string>> categories{std::nullopt};
        for (const std::string& c : model.categories())
            categories.emplace_back(c);
        for (const auto& category : categories) {
            const std::vector<std::string> first = names(model.processForCategory(category, false));
            EXPECT_TRUE(byValue(first)) << category.value_or("all");
            EXPECT_EQ(names(model.processForCategory(category, false)), first) << category.value_or("all");
        }
    }
}

TEST_F(ListModel, FavouritesKeepTheTabsKind) {
    PostProcess* effect = catalogueEffect(false);
    effect->set_fav(true);
    const std::vector<PostProcess*> onEffects = model.processForCategory(effect->get_categorie(), true);
    EXPECT_EQ(std::count(onEffects.begin(), onEffects.end(), effect), 1);
    // The Frames tab lists frames only, favourites or not, even asked by an effect's category.
    model.setSelectedTab(SelectPostProcessListModel::kTabFrames);
    model.dropCategoryCaches(); // as the browser does on every tab switch
    for (bool favorites : {true, false})
        for (PostProcess* e : model.processForCategory(effect->get_categorie(), favorites))
            EXPECT_TRUE(e->isFrame()) << e->get_name();
    effect->set_fav(false);
}

TEST_F(ListModel, CategoryRowsPastEitherEndAreTheWholeList) {
    const std::vector<std::string> categories = model.categories();
    for (int64_t row : {int64_t(-1), int64_t(0), int64_t(categories.size() + 1), int64_t(1000)}) {
        EXPECT_EQ(model.categoryForRow(row), std::nullopt) << row;
        EXPECT_EQ(model.categoryNameForRow(row), SelectPostProcessListModel::allEffectsName()) << row;
        EXPECT_EQ(model.currentEffects(row).size(), model.currentEffects(0).size()) << row;
    }
    EXPECT_EQ(model.categoryForRow(int64_t(categories.size())), categories.back());
}

TEST_F(ListModel, AnUnsetAndAnEmptyFilterAreTheSame) {
    EXPECT_FALSE(model.setFilterString(std::nullopt));
    EXPECT_FALSE(model.setFilterString(std::string()));
    ASSERT_TRUE(model.setFilterString(std::string("ink")));
    EXPECT_TRUE(model.setFilterString(std::string()));
    EXPECT_FALSE(model.setFilterString(std::nullopt));
}
