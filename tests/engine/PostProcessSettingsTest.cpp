#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"
#include "engine/SortHidePostProcessSupportManager.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/services/KXSLocalization.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using foundation::Notification;
using foundation::NotificationCenter;
using foundation::UserDefaults;
using foundation::Value;

namespace {

// An effect with up to two parameters, made on first request as effect classes do.
class SettingsEffect : public PostProcess {
  public:
    explicit SettingsEffect(std::string name, bool withFirst = true, bool withSecond = true)
        : m_name(std::move(name)), m_withFirst(withFirst), m_withSecond(withSecond) {}

    std::string class_name() const override { return "SettingsEffect"; }
    std::string get_name() override { return m_name; }
    PostProcessParameter* param_1() override {
        if (m_withFirst && !m_param_1) m_param_1 = make("Grain", 0.28);
        return m_param_1.get();
    }
    PostProcessParameter* param_2() override {
        if (m_withSecond && !m_param_2) m_param_2 = make("Contrast", 0.6);
        return m_param_2.get();
    }
    bool has_custom_preview_file() override { return !customPreviewFile.empty(); }
    std::string custom_preview_file() override { return customPreviewFile; }

    std::string customPreviewFile;

  private:
    static std::shared_ptr<PostProcessParameter> make(const char* key, double defaultValue) {
        return std::make_shared<PostProcessParameter>(
            services::KXSLocalization::localizedStringForKey(key, ""), 0.0, 1.0, defaultValue);
    }

    std::string m_name;
    bool m_withFirst;
    bool m_withSecond;
};

// Every test keeps the standard user defaults in a folder of its own, whose store is first opened
// here.
struct EffectSettings : testing::Test {
    TemporaryDirectory dir;
    ScopedEnvironment environment{{"OPALENE_CONFIG_DIR", dir.path().string()}};

    std::string defaultsFile() const { return dir.file("defaults.json"); }
    // What the next start of the program would find in the file.
    std::unique_ptr<UserDefaults> reopened() const { return std::make_unique<UserDefaults>(defaultsFile()); }
    // Values stored by an earlier run, before this process opened the store.
    void storedEarlier(const foundation::Dictionary& values) const {
        UserDefaults earlier(defaultsFile());
        for (const auto& [key, value] : values)
            earlier.setObject(value, key);
    }
};

// Notifications of one name, with the identity of their object.
struct Observed {
    explicit Observed(const char* name) {
        NotificationCenter::defaultCenter().addObserver(
            this, name, nullptr, [this](const Notification& n) { objects.push_back(n.object.identity()); });
    }
    ~Observed() { NotificationCenter::defaultCenter().removeObserver(this); }
    std::vector<const void*> objects;
};

} // namespace

TEST_F(EffectSettings, SavedValuesAreKeyedByTheNameWithBlanksMadeUnderscores) {
    struct Case {
        const char* name;
        const char* key1;
        const char* key2;
    };
    const Case cases[] = {
        {"Old TV", "Old_TVPostProcessParam_1", "Old_TVPostProcessParam_2"},
        {"B&W Grained", "B&W_GrainedPostProcessParam_1", "B&W_GrainedPostProcessParam_2"},
        {" Two  blanks", "_Two__blanksPostProcessParam_1", "_Two__blanksPostProcessParam_2"},
    };
    for (const Case& c : cases) {
        SettingsEffect effect(c.name);
        effect.param_1()->setValue(0.1);
        effect.param_2()->setValue(0.9);
        effect.saveParametrs();
    }
    std::unique_ptr<UserDefaults> store = reopened();
    for (const Case& c : cases) {
        EXPECT_EQ(store->objectForKey(c.key1), Value(0.1f)) << c.name;
        EXPECT_EQ(store->objectForKey(c.key2), Value(0.9f)) << c.name;
    }
}

TEST_F(EffectSettings, ValuesStoredEarlierAreLoadedOnFirstEntry) {
    storedEarlier({{"B&W_GrainedPostProcessParam_1", Value(0.3f)},
                   {"B&W_GrainedPostProcessParam_2", Value(1.5)}}); // outside the range: kept
    SettingsEffect effect("B&W Grained");
    effect.on_preview_entered();
    EXPECT_EQ(effect.param_1()->value(), double(0.3f));
    EXPECT_EQ(effect.param_2()->value(), 1.5);

    // Later entries keep what the user set since.
    effect.param_1()->setValue(0.7);
    effect.on_preview_entered();
    EXPECT_EQ(effect.param_1()->value(), 0.7);
}

TEST_F(EffectSettings, AParameterWithoutAStoredValueKeepsItsOwn) {
    storedEarlier({{"Old_TVPostProcessParam_1", Value(0.25)}});
    SettingsEffect effect("Old TV");
    effect.loadParametrs();
    EXPECT_EQ(effect.param_1()->value(), 0.25);
    EXPECT_EQ(effect.param_2()->value(), 0.6);
}

TEST_F(EffectSettings, AnEffectWithoutAFirstParameterLoadsAndSavesNothing) {
    storedEarlier({{"Old_TVPostProcessParam_2", Value(0.9)}});
    SettingsEffect effect("Old TV", false, true);
    effect.loadParametrs();
    EXPECT_EQ(effect.param_2()->value(), 0.6);

    effect.param_2()->setValue(0.1);
    effect.saveParametrs();
    EXPECT_EQ(reopened()->floatForKey("Old_TVPostProcessParam_2"), 0.9f);
}

TEST_F(EffectSettings, ResetRemovesTheStoredValuesAndReturnsTheDefaults) {
    storedEarlier({{"Old_TVPostProcessParam_1", Value(0.25)}, {"Old_TVPostProcessParam_2", Value(0.75)}});
    SettingsEffect effect("Old TV");
    effect.on_preview_entered();
    effect.resetParametrs();
    EXPECT_EQ(effect.param_1()->value(), 0.28);
    EXPECT_EQ(effect.param_2()->value(), 0.6);
    UserDefaults& standard = UserDefaults::standardUserDefaults();
    EXPECT_FALSE(standard.objectForKey("Old_TVPostProcessParam_1"));
    EXPECT_FALSE(standard.objectForKey("Old_TVPostProcessParam_2"));
    standard.synchronize();
    EXPECT_FALSE(reopened()->objectForKey("Old_TVPostProcessParam_1"));
}

TEST_F(EffectSettings, FavouriteToggleIsStoredUnderTheNameAndAnnounced) {
    Observed observed("PostProcessFavoriteStateDidChange");
    SettingsEffect effect("B&W Grained");
    EXPECT_FALSE(effect.favorite());

    effect.on_add_to_fav();
    EXPECT_TRUE(effect.favorite());
    EXPECT_EQ(reopened()->objectForKey("B&W Grained_fav"), Value(true)); // written through at once

    effect.on_add_to_fav();
    EXPECT_FALSE(effect.favorite());
    EXPECT_EQ(reopened()->objectForKey("B&W Grained_fav"), Value(false));
    EXPECT_EQ(observed.objects, (std::vector<const void*>{&effect, &effect}));

    // Loading the marks sets the flag quietly.
    effect.set_fav(true);
    EXPECT_TRUE(effect.favorite());
    EXPECT_EQ(observed.objects.size(), 2u);
    EXPECT_EQ(reopened()->objectForKey("B&W Grained_fav"), Value(false));
}

TEST_F(EffectSettings, PreviewImageChangesAreAnnouncedOnce) {
    Observed observed(PostProcessPreviewImageDidChangeNotification);
    SettingsEffect effect("Sketch");
    const uint8_t pixel[4] = {1, 2, 3, 255};
    const graphics::ImagePtr a = graphics::Image::copy(pixel, 1, 1, 4, graphics::PixelFormat{});
    const graphics::ImagePtr b = graphics::Image::copy(pixel, 1, 1, 4, graphics::PixelFormat{});

    effect.setPreviewImage(a);
    effect.setPreviewImage(a);
    EXPECT_EQ(effect.previewImage(), a);
    effect.setPreviewImage(b); // same pixels, another image
    effect.setPreviewImage(nullptr);
    EXPECT_EQ(effect.previewImage(), nullptr);
    EXPECT_EQ(observed.objects, (std::vector<const void*>{&effect, &effect, &effect}));
    EXPECT_STREQ(PostProcessPreviewImageDidChangeNotification,
                 "PostProcessPreviewImageDidChangeNotification");
}

// The thumbnail file is looked up in the main bundle, here a folder of this test's own.
TEST_F(EffectSettings, AFixedThumbnailFileIsReadAndGeneratedPreviewsAreIgnored) {
    TemporaryDirectory bundle;
    environment.set("OPALENE_RESOURCES", bundle.path().string());
    std::vector<uint8_t> pixels(6 * 4 * 4, 200);
    auto jpeg = imageio::ImageDestination::createWithPath(bundle.file("f1_g2_preview.jpg"), "public.jpeg");
    ASSERT_TRUE(jpeg);
    jpeg->addImage(graphics::Image::copy(pixels.data(), 6, 4, 6 * 4, graphics::PixelFormat{}), {});
    ASSERT_TRUE(jpeg->finalize());

    Observed observed(PostProcessPreviewImageDidChangeNotification);
    SettingsEffect effect("Frame");
    effect.customPreviewFile = "f1_g2_preview";
    const uint8_t pixel[4] = {1, 2, 3, 255};
    effect.setPreviewImage(graphics::Image::copy(pixel, 1, 1, 4, graphics::PixelFormat{}));
    EXPECT_TRUE(observed.objects.empty());

    const graphics::ImagePtr image = effect.previewImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 6);
    EXPECT_EQ(image->height(), 4);

    effect.customPreviewFile = "no_such_preview";
    EXPECT_EQ(effect.previewImage(), nullptr); // no image, no error
}

TEST_F(EffectSettings, PreviewImageFileNameMakesBlanksUnderscores) {
    EXPECT_EQ(SettingsEffect("B&W Grained").get_preview_image_file_name(), "B&W_Grained");
    EXPECT_EQ(SettingsEffect("Café Noir").get_preview_image_file_name(), "Café_Noir");
}

TEST_F(EffectSettings, HiddenFlagAndWeightsGoToTheOrderingSettingsUnderTheName) {
    SettingsEffect effect("B&W Grained");
    EXPECT_FALSE(effect.isHidden());
    effect.setHidden(true);
    effect.setWeight(std::uint64_t(1) << 40);
    effect.setWeightInCategory(3);
    EXPECT_TRUE(effect.isHidden());
    EXPECT_EQ(effect.weight(), std::uint64_t(1) << 40);
    EXPECT_EQ(effect.weightInCategory(), 3u);

    std::unique_ptr<UserDefaults> store = reopened();
    SortHidePostProcessSupportManager restarted(*store);
    EXPECT_TRUE(restarted.isHiddenForPPName("B&W Grained"));
    EXPECT_EQ(restarted.weightForPPName("B&W Grained"), std::uint64_t(1) << 40);
    EXPECT_EQ(restarted.weightInCategoryForPPName("B&W Grained"), 3u);
    EXPECT_FALSE(SettingsEffect("Old TV").isHidden());
}
