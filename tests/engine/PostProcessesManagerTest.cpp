#include "engine/PostProcessesManager.h"

#include "engine/PostProcess.h"
#include "platform/foundation/UserDefaults.h"

#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

class NamedEffect : public PostProcess {
  public:
    NamedEffect(std::string name, bool frame) : m_name(std::move(name)), m_frame(frame) {}
    std::string get_name() override { return m_name; }
    bool isFrame() override { return m_frame; }

  private:
    std::string m_name;
    bool m_frame;
};

PostProcessesManager::CatalogueEntry named(std::string name, bool frame = false) {
    return [name, frame](int32_t index) -> std::unique_ptr<PostProcess> {
        auto effect = std::make_unique<NamedEffect>(name, frame);
        effect->init({}, index);
        return effect;
    };
}

// The display names of the full catalogue, in its order.
const std::vector<std::string> kNames = {
    "Alien Skin",
    "Glow Vivid Color",
    "Grunge Rays",
    "Hippie",
    "Warm Yellow",
    "Color Charcoal Sketch",
    "Napa",
    "Old Sketch",
    "Brush Strokes",
    "Midway",
    "Rainbow Palette 1",
    "Cool Blue",
    "Sparta",
    "Sepia Glow",
    "Mars",
    "Ancient Canvas",
    "Aged",
    "Old TV",
    "Atlantic Beach",
    "B&W Grained",
    "Color Sunlight Spots",
    "Derby",
    "Pen Sketch",
    "Red Stroke",
    "Sanibel",
    "Socorro",
    "Turin",
    "Twilight",
    "Vintage",
    "Comix Halftone",
};

std::vector<PostProcessesManager::CatalogueEntry> fullCatalogue() {
    std::vector<PostProcessesManager::CatalogueEntry> entries;
    for (const std::string& name : kNames)
        entries.push_back(named(name));
    return entries;
}

// User defaults in a folder of the test's own.
class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override { setenv("OPALENE_CONFIG_DIR", dir.file("config").c_str(), 1); }
    TemporaryDirectory dir;
};

} // namespace

TEST_F(Catalogue, EffectsAreIndexedByPosition) {
    PostProcessesManager manager(fullCatalogue());
    ASSERT_EQ(manager.postProcesses().size(), kNames.size());
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        EXPECT_EQ(manager.postProcesses()[i]->get_index(), int32_t(i));
        EXPECT_EQ(manager.postProcesses()[i]->get_name(), kNames[i]);
    }
    EXPECT_EQ(manager.maxCountEffects(), 7u);
    EXPECT_EQ(manager.maxCountPresets(), 7u);
}

TEST_F(Catalogue, LookupByName) {
    PostProcessesManager manager(fullCatalogue());
    struct Case {
        std::string name;
        int expected; // position, or -1 for none
    };
    const std::vector<Case> cases = {
        {"Old TV", 17},      {"12.Old TV", 17},  {".Old TV", 17}, {"Alien Skin", 0}, {"Comix Halftone", 29},
        {"B&W Grained", 19}, {"Old TV.jpg", -1}, {"old tv", -1},  {"Old TV.", -1},   {"", -1},
        {"1.2.Old TV", -1},  {"Old TV ", -1},
    };
    for (const Case& c : cases) {
        PostProcess* found = manager.postProcessWithName(c.name);
        PostProcess* expected =
            c.expected < 0 ? nullptr : manager.postProcesses()[std::size_t(c.expected)].get();
        EXPECT_EQ(found, expected) << '"' << c.name << '"';
    }
}

TEST_F(Catalogue, TextAfterTheFirstFullStopIsTheName) {
    PostProcessesManager manager({named("Old TV"), named("jpg")});
    EXPECT_EQ(manager.postProcessWithName("Old TV.jpg"), manager.postProcesses()[1].get());
}

TEST_F(Catalogue, FramesAreLeftOutOfTheNonFrameList) {
    PostProcessesManager manager({named("A"), named("Frame", true), named("B"), named("Frame 2", true)});
    const std::vector<PostProcess*> effects = manager.nonFrameProcesses();
    EXPECT_EQ(effects, (std::vector<PostProcess*>{manager.postProcesses()[0].get(),
                                                  manager.postProcesses()[2].get()}));
    EXPECT_EQ(manager.postProcesses()[3]->get_index(), 3);
}

TEST_F(Catalogue, FavouritesComeFromTheUserDefaults) {
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    defaults.setBool(true, "Aged_fav");
    defaults.setBool(false, "Old TV_fav");
    defaults.setBool(true, "Aged"); // not a favourite key
    PostProcessesManager manager(fullCatalogue());
    for (const auto& effect : manager.postProcesses())
        EXPECT_EQ(effect->favorite(), effect->get_name() == "Aged") << effect->get_name();

    defaults.setBool(false, "Aged_fav");
    defaults.setBool(true, "B&W Grained_fav");
    manager.loadFavorites();
    EXPECT_FALSE(manager.postProcessWithName("Aged")->favorite());
    EXPECT_TRUE(manager.postProcessWithName("B&W Grained")->favorite());
}

TEST_F(Catalogue, ProgramCatalogueIsConsistent) {
    const PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    EXPECT_EQ(&manager, &PostProcessesManager::sharedPostProcessesManager());
    ASSERT_EQ(manager.postProcesses().size(), PostProcessesManager::catalogueEntries().size());
    std::set<std::string> names;
    for (std::size_t i = 0; i < manager.postProcesses().size(); ++i) {
        PostProcess* effect = manager.postProcesses()[i].get();
        EXPECT_EQ(effect->get_index(), int32_t(i));
        EXPECT_TRUE(names.insert(effect->get_name()).second) << effect->get_name() << " twice";
        EXPECT_EQ(manager.postProcessWithName(effect->get_name()), effect);
        // Every row is one of the catalogue's looks, at or after its place among them.
        auto place = std::find(kNames.begin(), kNames.end(), effect->get_name());
        ASSERT_NE(place, kNames.end()) << effect->get_name();
        EXPECT_GE(std::size_t(place - kNames.begin()), i);
    }
    EXPECT_EQ(manager.nonFrameProcesses().size(), manager.postProcesses().size());
}

TEST(PostProcessesManagerScaling, ScalesBothAxes) {
    const coreimage::ImagePtr image = coreimage::Image::imageWithCGImage(makeSourceImage(8, 4, [](int, int) {
        return Rgb{10, 20, 30};
    }));
    ASSERT_TRUE(image);
    const coreimage::ImagePtr half = PostProcessesManager::scaledImageFromImage(image, 0.5);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->extent(), graphics::Rect(0, 0, 4, 2));
    EXPECT_FALSE(PostProcessesManager::scaledImageFromImage(nullptr, 0.5));
}
