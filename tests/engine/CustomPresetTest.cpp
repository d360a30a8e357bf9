#include "engine/CustomPreset.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using foundation::Dictionary;
using foundation::NotificationCenter;
using foundation::Value;

namespace {

// Counts notifications of one name sent by one object.
struct Counter {
    int count = 0;
    Counter(const char* name, const void* sender) {
        NotificationCenter::defaultCenter().addObserver(this, name, sender,
                                                        [this](const foundation::Notification&) { ++count; });
    }
    ~Counter() { NotificationCenter::defaultCenter().removeObserver(this); }
};

graphics::ImagePtr onePixel() {
    const uint8_t pixel[4] = {255, 1, 2, 3};
    return graphics::Image::copy(pixel, 1, 1, 4, graphics::PixelFormat{});
}

} // namespace

TEST(CustomPreset, IdentifierIsMadeOnceAndKept) {
    CustomPreset a({}, "A");
    CustomPreset b({}, "B");
    const std::string id = a.uuidPreset();
    EXPECT_EQ(id.size(), 36u);
    EXPECT_EQ(a.uuidPreset(), id);
    EXPECT_NE(b.uuidPreset(), id);
}

TEST(CustomPreset, NameAndImageNotifyOnlyOnChange) {
    CustomPreset preset({}, "Mine");
    Counter names(CustomPresetNameDidChangeNotification, &preset);
    Counter images(CustomPresetImageDidChangeNotification, &preset);

    preset.setName("Mine");
    EXPECT_EQ(names.count, 0);
    preset.setName("Yours");
    EXPECT_EQ(names.count, 1);
    EXPECT_EQ(preset.name(), "Yours");

    graphics::ImagePtr image = onePixel();
    ASSERT_TRUE(image);
    preset.setPreviewImage(image);
    preset.setPreviewImage(image);
    EXPECT_EQ(images.count, 1);
    preset.setPreviewImage(onePixel()); // same pixels, another image
    EXPECT_EQ(images.count, 2);
    preset.setPreviewImage(nullptr);
    EXPECT_EQ(images.count, 3);
}

TEST(CustomPreset, ArchiveKeepsRecordsNameAndIdentifierButNotThumbnail) {
    CustomPreset::registerForArchiving();
    EffectRecord record{{CustomPresetEffectNameKey, Value("Aged")},
                        {CustomPresetParam1NumberValueKey, Value(0.1f)}};
    auto preset = std::make_shared<CustomPreset>(std::vector<EffectRecord>{record}, "Old");
    preset->setPreviewImage(onePixel());

    // Never asked for its identifier before archiving.
    std::optional<std::string> data =
        foundation::KeyedArchiver::archivedDataWithRootObject(CustomPreset::value(preset));
    ASSERT_TRUE(data);
    std::optional<Value> back = foundation::KeyedUnarchiver::unarchiveObjectWithData(*data);
    ASSERT_TRUE(back);
    std::shared_ptr<CustomPreset> copy = CustomPreset::fromValue(*back);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->name(), "Old");
    EXPECT_EQ(copy->ppStackArray(), std::vector<EffectRecord>{record});
    EXPECT_EQ(copy->ppStackArray()[0].at(CustomPresetParam1NumberValueKey).getDouble(), double(0.1f));
    EXPECT_EQ(copy->uuidPreset(), preset->uuidPreset());
    EXPECT_FALSE(copy->previewImage());
}

TEST(CustomPreset, RecordsAreCheckedFieldByField) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        EffectRecord record;
        bool wellFormed;
    };
    const std::vector<Case> cases = {
        {"name only", {{"EffectName", Value("Aged")}}, true},
        {"all five keys",
         {{"EffectName", Value("Aged")},
          {"Param1NumberValue", Value(0.5f)},
          {"Param2NumberValue", Value(3)},
          {"CenterEffectXValueKey", Value(0.25f)},
          {"CenterEffectYValueKey", Value(-1.0f)}},
         true},
        {"no name", {{"Param1NumberValue", Value(0.5f)}}, false},
        {"empty name", {{"EffectName", Value("")}}, false},
        {"name not a string", {{"EffectName", Value(7)}}, false},
        {"value a string", {{"EffectName", Value("Aged")}, {"Param1NumberValue", Value("1")}}, false},
        {"value a bool", {{"EffectName", Value("Aged")}, {"Param2NumberValue", Value(true)}}, false},
        {"value not finite", {{"EffectName", Value("Aged")}, {"Param1NumberValue", Value(nan)}}, false},
        {"value past float", {{"EffectName", Value("Aged")}, {"CenterEffectXValueKey", Value(1e300)}}, false},
        {"unknown key", {{"EffectName", Value("Aged")}, {"Script", Value(1)}}, false},
        {"overlong name", {{"EffectName", Value(std::string(5000, 'x'))}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isWellFormedEffectRecord(c.record), c.wellFormed) << c.what;
}
