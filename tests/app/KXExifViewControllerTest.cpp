#include "app/KXExifViewController.h"

#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QDialog>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

using foundation::Array;
using foundation::Dictionary;
using foundation::Value;

TEST(KXExifViewController, TopLevelValuesAloneMakeOneGeneralTab) {
    KXExifViewController controller(
        Dictionary{{"PixelWidth", Value(640)}, {"PixelHeight", Value(480)}, {"Orientation", Value(1)}});
    EXPECT_EQ(controller.sortedKeys(), std::vector<std::string>{"General"});
    EXPECT_EQ(controller.rowKeys("General"),
              (std::vector<std::string>{"Orientation", "PixelHeight", "PixelWidth"}));
    EXPECT_EQ(controller.rowValue("General", "PixelWidth"), "640");
}

TEST(KXExifViewController, DictionariesBecomeTabsWithoutBracesAndMakerStylesAreLeftOut) {
    KXExifViewController controller(Dictionary{
        {"PixelWidth", Value(10)},
        {"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}})},
        {"{GPS}", Value(Dictionary{{"LatitudeRef", Value("N")}})},
        {"{Exif}", Value(Dictionary{{"ISOSpeedRatings", Value(Array{Value(200)})},
                                    {"DateTimeOriginal", Value("2023:05:17 14:03:21")},
                                    {"ApertureValue", Value(2.8)}})},
        {"{PictureStyle}", Value(Dictionary{{"Contrast", Value(1)}})},
        {"MetadataBlocks", Value::object(std::make_shared<int>(1), "blocks")},
    });
    EXPECT_EQ(controller.sortedKeys(), (std::vector<std::string>{"General", "Exif", "GPS", "TIFF"}));
    EXPECT_EQ(controller.rowKeys("Exif"),
              (std::vector<std::string>{"ApertureValue", "DateTimeOriginal", "ISOSpeedRatings"}));
    EXPECT_EQ(controller.rowKeys("General"),
              std::vector<std::string>{"PixelWidth"}); // the blocks are not shown
    EXPECT_EQ(controller.rowValue("Exif", "ISOSpeedRatings"), "200");
    EXPECT_EQ(controller.rowValue("Exif", "ApertureValue"), "2.8");
    EXPECT_TRUE(controller.rowKeys("PictureStyle").empty());
}

TEST(KXExifViewController, ValuesAreShownAsThePlatformDescribesThem) {
    struct Case {
        Value value;
        std::string shown;
    };
    const Case cases[] = {
        {Value(Array{Value(2), Value(2), Value(0), Value(0)}), "2.2.0.0"},
        {Value(0.004), "0.004"},
        {Value(true), "1"},
        {Value("text"), "text"},
        {Value(Array{}), ""},
        {Value(Dictionary{{"a", Value(1)}}), "{ a = 1 }"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KXExifViewController::displayValue(c.value), c.shown);
}

TEST(KXExifViewController, PanelShowsOnlyTheSelectedTabsRows) {
    uiApplication();
    KXExifViewController controller(Dictionary{
        {"PixelWidth", Value(10)},
        {"PixelHeight", Value(20)},
        {"{Exif}", Value(Dictionary{{"LensModel", Value("50mm F1.8")}})},
    });
    controller.showEXIFInfo();
    ASSERT_TRUE(controller.exifPanel());
    EXPECT_TRUE(controller.exifPanel()->isVisible());
    QTabWidget* tabs = controller.tabView();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "General");
    auto* general = static_cast<QTableWidget*>(tabs->widget(0));
    auto* exif = static_cast<QTableWidget*>(tabs->widget(1));
    EXPECT_EQ(controller.numberOfRowsInTableView(general), 2);
    EXPECT_EQ(controller.numberOfRowsInTableView(exif), 0);
    tabs->setCurrentIndex(1);
    EXPECT_EQ(controller.numberOfRowsInTableView(exif), 1);
    EXPECT_EQ(exif->item(0, 1)->text(), "50mm F1.8");
    EXPECT_EQ(exif->verticalHeader()->defaultSectionSize(), KXExifViewController::kRowHeight);
    controller.showEXIFInfo(); // again: tabs rebuilt, not doubled
    EXPECT_EQ(controller.tabView()->count(), 2);
    controller.hidePanel();
    EXPECT_FALSE(controller.exifPanel());
}

TEST(KXExifViewController, AJpegsExifComesThroughTheFileLayer) {
    uiApplication();
    TemporaryDirectory dir;
    const std::vector<uint8_t> pixels(8 * 8 * 4, 200);
    auto destination = imageio::ImageDestination::createWithPath(dir.file("photo.jpg"), "public.jpeg");
    ASSERT_TRUE(destination);
    destination->addImage(
        graphics::Image::copy(pixels.data(), 8, 8, 32, graphics::PixelFormat{}),
        Dictionary{{"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value("2024:01:02 03:04:05")}})}});
    ASSERT_TRUE(destination->finalize());
    auto source = imageio::ImageSource::createWithPath(dir.file("photo.jpg"));
    ASSERT_TRUE(source);
    KXExifViewController controller(source->copyProperties());
    EXPECT_EQ(controller.rowValue("Exif", "DateTimeOriginal"), "2024:01:02 03:04:05");
    EXPECT_EQ(controller.rowValue("General", "PixelWidth"), "8");
}
