#include "engine/PostProcessesManager.h"

#include "engine/PostProcess.h"
#include "platform/foundation/UserDefaults.h"

#include "support/ScopedEnvironment.h"
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

// The program's catalogue, in its order: each look's class, display name and category.
struct Row {
    const char* className;
    const char* name;
    const char* category;
};
const std::vector<Row> kCatalogue = {
    {"PP_HFX_Avatar", "Alien Skin", "Hollywood FX"},
    {"PP_Bloom1", "Glow Vivid Color", "Glow"},
    {"PP_Effects_Bundle1", "Grunge Rays", "Grunge"},
    {"PP_ColorModify", "Hippie", "Photo Styles"},
    {"PP_ColorTemperature", "Warm Yellow", "Color Temperature"},
    {"PP_SketchE", "Color Charcoal Sketch", "Sketch"},
    {"PP_Effects_Bundle1", "Napa", "Groovy Lo-Fi"},
    {"PP_SketchF", "Old Sketch", "Sketch"},
    {"PP_BrushStrokes", "Brush Strokes", "Art"},
    {"PP_ImageFilter", "Midway", "Cross Processed"},
    {"PP_ImageFilter", "Rainbow Palette 1", "Color Fantasy"},
    {"PP_ColorTemperature", "Cool Blue", "Color Temperature"},
    {"PP_HFX_Sparta", "Sparta", "Hollywood FX"},
    {"PP_Bloom1", "Sepia Glow", "Glow"},
    {"PP_Effects_Bundle2", "Mars", "Photo Styles"},
    {"PP_ImageFilter", "Ancient Canvas", "Vintage"},
    {"PP_Aged", "Aged", "Vintage"},
    {"PP_ImageFilter", "Old TV", "Vintage"},
    {"PP_ImageFilter", "Atlantic Beach", "Cross Processed"},
    {"PP_BWGrained", "B&W Grained", "Black&White"},
    {"PP_ImageFilter", "Color Sunlight Spots", "Color Fantasy"},
    {"PP_Effects_Bundle1", "Derby", "Groovy Lo-Fi"},
    {"PP_SketchC", "Pen Sketch", "Sketch"},
    {"PP_CS", "Red Stroke", "Color Strokes"},
    {"PP_Effects_Bundle2", "Sanibel", "Groovy Lo-Fi"},
    {"PP_ImageFilter", "Socorro", "Cross Processed"},
    {"PP_Effects_Bundle1", "Turin", "Groovy Lo-Fi"},
    {"PP_HFX_Twilight", "Twilight", "Hollywood FX"},
    {"PP_ImageFilter", "Vintage", "Vintage"},
    {"PP_ComixHalftone", "Comix Halftone", "Art"},
};

std::vector<PostProcessesManager::CatalogueEntry> fullCatalogue() {
    std::vector<PostProcessesManager::CatalogueEntry> entries;
    for (const Row& row : kCatalogue)
        entries.push_back(named(row.name));
    return entries;
}

// User defaults in a folder of the test's own.
class Catalogue : public ::testing::Test {
  protected:
    TemporaryDirectory dir;
    ScopedEnvironment environment{{"OPALENE_CONFIG_DIR", dir.file("config")}};
};

} // namespace

TEST_F(Catalogue, EffectsAreIndexedByPosition) {
    PostProcessesManager manager(fullCatalogue());
    ASSERT_EQ(manager.postProcesses().size(), kCatalogue.size());
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        EXPECT_EQ(manager.postProcesses()[i]->get_index(), int32_t(i));
        EXPECT_EQ(manager.postProcesses()[i]->get_name(), kCatalogue[i].name);
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

TEST_F(Catalogue, ProgramCatalogueHoldsTheThirtyLooksInOrder) {
    const PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
    EXPECT_EQ(&manager, &PostProcessesManager::sharedPostProcessesManager());
    ASSERT_EQ(manager.postProcesses().size(), kCatalogue.size());
    std::set<std::string> names;
    std::vector<PostProcess*> all;
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        SCOPED_TRACE(kCatalogue[i].name);
        PostProcess* effect = manager.postProcesses()[i].get();
        all.push_back(effect);
        EXPECT_EQ(effect->class_name(), kCatalogue[i].className);
        EXPECT_EQ(effect->get_name(), kCatalogue[i].name);
        EXPECT_EQ(effect->get_categorie(), kCatalogue[i].category);
        EXPECT_EQ(effect->get_index(), int32_t(i));
        EXPECT_TRUE(names.insert(effect->get_name()).second) << "name given twice";
        EXPECT_EQ(manager.postProcessWithName(effect->get_name()), effect);
    }
    EXPECT_EQ(manager.nonFrameProcesses(), all);

    struct Case {
        const char* name;
        int expected; // position, or -1 for none
    };
    for (const Case& c :
         {Case{"Old TV", 17}, Case{"12.Old TV", 17}, Case{"Old TV.jpg", -1}, Case{"old tv", -1}}) {
        PostProcess* expected = c.expected < 0 ? nullptr : all[std::size_t(c.expected)];
        EXPECT_EQ(manager.postProcessWithName(c.name), expected) << '"' << c.name << '"';
    }
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
