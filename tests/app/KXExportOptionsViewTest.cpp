#include "app/KXExportOptionsView.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/TypeIdentifiers.h"
#include "support/UiApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStackedWidget>
#include <algorithm>
#include <gtest/gtest.h>

using foundation::Dictionary;
using foundation::Value;

namespace {

const char* const kExcluded[] = {
    "com.microsoft.bmp", "com.apple.icns", "com.sgi.sgi-image", "com.microsoft.ico",
    "public.pbm",        "public.pvr",     "com.apple.rjpeg",   "com.truevision.tga-image",
    "org.khronos.astc",  "org.khronos.ktx"};

bool writable(const std::string& type) {
    const auto& types = KXExportOptionsView::saveTypes();
    return std::find(types.begin(), types.end(), type) != types.end();
}

int indexOf(const std::string& type) {
    const auto& types = KXExportOptionsView::saveTypes();
    return int(std::find(types.begin(), types.end(), type) - types.begin());
}

void press(QWidget* widget, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &up);
}

// Chooses an item as the user does from the keyboard, so the menu's action runs.
void choose(QComboBox* menu, int index) {
    press(menu, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        press(menu, Qt::Key_Down);
    ASSERT_EQ(menu->currentIndex(), index);
}

class KXExportOptionsViewTest : public testing::Test {
  protected:
    void SetUp() override { defaults().removeObjectForKey(KXExportOptionsView::kPreviousExportImageTypeKey); }
    void TearDown() override {
        defaults().removeObjectForKey(KXExportOptionsView::kPreviousExportImageTypeKey);
    }
    static foundation::UserDefaults& defaults() { return foundation::UserDefaults::standardUserDefaults(); }
    std::string remembered() const {
        return defaults().stringForKey(KXExportOptionsView::kPreviousExportImageTypeKey).value_or("");
    }

    QApplication& app = uiApplication();
};

} // namespace

TEST_F(KXExportOptionsViewTest, SaveTypesAreTheWritableOnesInTheLayersOrderLessTheTenLeftOut) {
    const auto& types = KXExportOptionsView::saveTypes();
    const auto& all = imageio::destinationTypeIdentifiers();
    for (const char* excluded : kExcluded)
        EXPECT_FALSE(writable(excluded)) << excluded;
    // Everything else the layer writes is offered, in its order.
    std::vector<std::string> expected;
    for (const std::string& type : all)
        if (std::none_of(std::begin(kExcluded), std::end(kExcluded),
                         [&](const char* e) { return type == e; }))
            expected.push_back(type);
    EXPECT_EQ(types, expected);
    for (const char* common : {"public.jpeg", "public.png", "public.tiff"})
        EXPECT_TRUE(writable(common)) << common;

    const auto& names = KXExportOptionsView::readableSaveTypes();
    ASSERT_EQ(names.size(), types.size());
    EXPECT_EQ(names[size_t(indexOf("public.jpeg"))], "JPEG image");
    EXPECT_EQ(names[size_t(indexOf("public.tiff"))], "TIFF image");
}

TEST_F(KXExportOptionsViewTest, WithNothingRememberedJpegAtQualityPointEightyFiveAndEightBits) {
    auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, "", 8);
    EXPECT_EQ(view->type(), "public.jpeg");
    EXPECT_EQ(remembered(), "public.jpeg");
    EXPECT_EQ(view->popUpButton()->currentText().toStdString(), "JPEG image");
    EXPECT_EQ(view->popUpButton()->count(), int(KXExportOptionsView::saveTypes().size()));
    EXPECT_EQ(view->tabView()->currentIndex(), KXExportOptionsView::kQualityPage);
    EXPECT_EQ(view->qualitySlider()->value(), 850);
    EXPECT_EQ(view->compressionPopUpButton()->currentIndex(), 1);
    EXPECT_EQ(view->depthPopUpButton()->currentIndex(), 0);
    EXPECT_TRUE(view->showsDepthsSelection());

    const Dictionary props = view->imageProperties();
    EXPECT_DOUBLE_EQ(props.at(imageio::kLossyCompressionQuality).getDouble().value(), 0.85);
    EXPECT_EQ(props.at("Depth").getInt64(), 8);
    EXPECT_EQ(props.at("{TIFF}").find("Compression")->getInt64(), 5); // LZW, the first choice
}

TEST_F(KXExportOptionsViewTest, RequestedThenRememberedTypeElseJpeg) {
    struct Case {
        const char* remembered;
        const char* requested;
        const char* chosen;
    };
    const Case cases[] = {
        {"public.png", "", "public.png"},
        {"public.png", "public.tiff", "public.tiff"},
        {"com.microsoft.bmp", "", "public.jpeg"}, // writable, but not offered
        {"org.example.gone", "", "public.jpeg"},
        {"public.png", "com.microsoft.ico",
         "public.jpeg"}, // a refused request does not fall back to the memory
    };
    for (const Case& c : cases) {
        defaults().setObject(Value(c.remembered), KXExportOptionsView::kPreviousExportImageTypeKey);
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, c.requested, 8);
        EXPECT_EQ(view->type(), c.chosen) << c.remembered << " / " << c.requested;
        EXPECT_EQ(remembered(), c.chosen);
        EXPECT_EQ(view->popUpButton()->currentIndex(), indexOf(c.chosen));
    }
}

TEST_F(KXExportOptionsViewTest, ChoosingATypeSetsItsPageDepthAndMemory) {
    struct Case {
        const char* type;
        int depthItem;
        int page;
        int depth;
    };
    const Case cases[] = {
        {"public.tiff", 1, KXExportOptionsView::kTiffPage, 16},
        {"public.tiff", 0, KXExportOptionsView::kTiffPage, 8},
        {"public.png", 1, KXExportOptionsView::kNoOptionsPage, 8},
        {"public.jpeg", 1, KXExportOptionsView::kQualityPage, 8},
        {"public.jpeg-2000", 0, KXExportOptionsView::kQualityPage, 16},
    };
    for (const Case& c : cases) {
        if (!writable(c.type)) continue; // a codec this build of the image layer lacks
        auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.png", 8);
        choose(view->popUpButton(), indexOf(c.type));
        choose(view->depthPopUpButton(), c.depthItem);
        EXPECT_EQ(view->type(), c.type);
        EXPECT_EQ(view->tabView()->currentIndex(), c.page) << c.type;
        EXPECT_EQ(view->depth(), c.depth) << c.type << " item " << c.depthItem;
        EXPECT_EQ(view->imageProperties().at("Depth").getInt64(), c.depth);
        EXPECT_EQ(remembered(), c.type);
    }
}

TEST_F(KXExportOptionsViewTest, GivenDepthSelectsTheDepthItem) {
    EXPECT_EQ(KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.tiff", 8)->depth(), 8);
    auto deep = KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.tiff", 16);
    EXPECT_EQ(deep->depthPopUpButton()->currentIndex(), 1);
    EXPECT_EQ(deep->depth(), 16);
}

TEST_F(KXExportOptionsViewTest, PropertiesCarryTheMetadataAndTheChoices) {
    const Dictionary metadata{
        {"DPIWidth", Value(300)},
        {"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}, {"Compression", Value(32773)}})},
        {"{Exif}", Value(Dictionary{{"DateTimeOriginal", Value("2023:05:17 14:03:21")}})},
        {imageio::kLossyCompressionQuality, Value(0.3)}, // a fresh dictionary starts at 0.85 all the same
    };
    auto view = KXExportOptionsView::exportOptionsViewWithMetadata(metadata, "public.tiff", 8);
    EXPECT_EQ(view->qualitySlider()->value(), 850);
    Dictionary props = view->imageProperties();
    EXPECT_EQ(props.at("DPIWidth").getInt64(), 300);
    EXPECT_EQ(*props.at("{TIFF}").find("Make")->getString(), "Opalene Optics");
    EXPECT_EQ(props.at("{TIFF}").find("Compression")->getInt64(), 5);
    EXPECT_EQ(*props.at("{Exif}").find("DateTimeOriginal")->getString(), "2023:05:17 14:03:21");
    EXPECT_EQ(view->metadata(), metadata); // the choices never touch the metadata given

    const int codes[] = {1, 5, 8, 32773};
    for (int item = 0; item < 4; ++item) {
        choose(view->compressionPopUpButton(), item);
        EXPECT_EQ(view->imageProperties().at("{TIFF}").find("Compression")->getInt64(), codes[item]);
    }

    view->qualitySlider()->setFocus();
    press(view->qualitySlider(), Qt::Key_End);
    EXPECT_DOUBLE_EQ(view->imageProperties().at(imageio::kLossyCompressionQuality).getDouble().value(), 1.0);
    press(view->qualitySlider(), Qt::Key_Home);
    EXPECT_DOUBLE_EQ(view->imageProperties().at(imageio::kLossyCompressionQuality).getDouble().value(), 0.0);
}

TEST_F(KXExportOptionsViewTest, QualityGivenWithPropertiesMovesTheSlider) {
    KXExportOptionsView view;
    view.setImageProperties(Dictionary{{imageio::kLossyCompressionQuality, Value(0.4)}});
    view.initializeWithMetadata({}, "public.jpeg", 8);
    EXPECT_EQ(view.qualitySlider()->value(), 400);
    EXPECT_DOUBLE_EQ(view.imageProperties().at(imageio::kLossyCompressionQuality).getDouble().value(), 0.4);
}

TEST_F(KXExportOptionsViewTest, DepthControlsHideAndShow) {
    auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.tiff", 8);
    view->show();
    EXPECT_TRUE(view->depthPopUpButton()->isVisible());
    view->setShowsDepthsSelection(false);
    EXPECT_FALSE(view->showsDepthsSelection());
    EXPECT_FALSE(view->depthPopUpButton()->isVisible());
    EXPECT_FALSE(view->depthTextField()->isVisible());
    view->setShowsDepthsSelection(true);
    EXPECT_TRUE(view->depthPopUpButton()->isVisible());
    EXPECT_TRUE(view->depthTextField()->isVisible());
}

TEST_F(KXExportOptionsViewTest, PanelSavesOnlyTheChosenTypeAndTheExtensionFollows) {
    QFileDialog panel;
    auto view = KXExportOptionsView::exportOptionsViewWithMetadata({}, "public.jpeg", 8);
    view->addViewToSavePanel(panel);
    panel.selectFile("photo.jpg");
    panel.show();
    EXPECT_TRUE(panel.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(panel.isAncestorOf(view.get()));
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(panel.nameFilters(), QStringList{"JPEG image (*.jpg *.jpeg *.jpe)"});
    EXPECT_EQ(panel.defaultSuffix(), "jpg");

    choose(view->popUpButton(), indexOf("public.png"));
    EXPECT_EQ(panel.nameFilters(), QStringList{"PNG image (*.png)"});
    EXPECT_EQ(panel.defaultSuffix(), "png");
    auto* name = panel.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), "photo.png");

    choose(view->popUpButton(), indexOf("public.tiff"));
    EXPECT_EQ(panel.defaultSuffix(), "tiff");
    EXPECT_EQ(name->text(), "photo.tiff");

    // The options lie inside the panel, below its file controls, and are drawn.
    const QRect inPanel(view->mapTo(&panel, QPoint(0, 0)), view->size());
    EXPECT_TRUE(panel.rect().contains(inPanel));
    EXPECT_GT(inPanel.top(), name->mapTo(&panel, QPoint(0, 0)).y());
    EXPECT_TRUE(view->compressionPopUpButton()->isVisible());
    EXPECT_FALSE(view->qualitySlider()->isVisible());
}
