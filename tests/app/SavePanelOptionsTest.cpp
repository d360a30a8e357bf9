// The editor's save panel, as the document sets it up: the export options are in the panel and
// what is chosen there is what gets written.
#include "ExportFixture.h"
#include "app/KXExportOptionsView.h"
#include "app/MyDocument.h"

#include "editor/RivorezIduvivViewController.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QComboBox>
#include <QFileDialog>
#include <QMainWindow>
#include <QSlider>
#include <filesystem>
#include <gtest/gtest.h>

using foundation::Dictionary;
using foundation::Value;

namespace {

const Value* entry(const Dictionary& props, const char* dictionary, const char* key) {
    const auto it = props.find(dictionary);
    return it == props.end() ? nullptr : it->second.find(key);
}

// The view has no meta-object of its own, so it is found by its C++ type.
KXExportOptionsView* optionsIn(QFileDialog& panel) {
    for (QWidget* child : panel.findChildren<QWidget*>())
        if (auto* options = dynamic_cast<KXExportOptionsView*>(child)) return options;
    return nullptr;
}

struct SavePanelOptions : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    MyDocument document;
    RivorezIduvivViewController* editor = document.rivorezIduvivViewController();

    void SetUp() override {
        foundation::UserDefaults::standardUserDefaults().removeObjectForKey(
            KXExportOptionsView::kPreviousExportImageTypeKey);
        editor->terminate = [](int) {};
        const std::string camera = dir.file("camera.jpg");
        auto destination = imageio::ImageDestination::createWithPath(camera, "public.jpeg");
        ASSERT_TRUE(destination);
        destination->addImage(exportfixture::picture(160, 120, 8),
                              Dictionary{{"{TIFF}", Value(Dictionary{{"Make", Value("Opalene Optics")}})}});
        ASSERT_TRUE(destination->finalize());
        editor->openImageURL(camera);
        ASSERT_NE(editor->image(), nullptr);
        editor->setDocumentEdited(true);
    }

    // Opens the editor's save panel and hands its options view to `choose` before saving as `name`.
    void saveThroughPanel(const std::string& name, const std::function<void(KXExportOptionsView&)>& choose) {
        editor->saveImage();
        QFileDialog* panel = editor->window()->findChild<QFileDialog*>("savePanel");
        ASSERT_NE(panel, nullptr);
        auto* options = optionsIn(*panel);
        ASSERT_NE(options, nullptr);
        EXPECT_FALSE(options->showsDepthsSelection());
        choose(*options);
        panel->selectFile(QString::fromStdString(dir.file(name)));
        QMetaObject::invokeMethod(panel, "accept");
        ASSERT_TRUE(runEventLoopUntil([&] { return std::filesystem::exists(dir.file(name)); }, 5.0)) << name;
        EXPECT_FALSE(editor->isDocumentEdited());
    }
};

void chooseType(KXExportOptionsView& options, const std::string& type) {
    const auto& types = KXExportOptionsView::saveTypes();
    const int index = int(std::find(types.begin(), types.end(), type) - types.begin());
    ASSERT_LT(index, int(types.size())) << type;
    options.popUpButton()->setCurrentIndex(index);
    emit options.popUpButton()->activated(index);
}

void chooseQuality(KXExportOptionsView& options, double quality) {
    options.qualitySlider()->setValue(int(quality * KXExportOptionsView::kQualitySteps));
    options.qualityDidChange();
}

} // namespace

TEST_F(SavePanelOptions, TheChosenJpegQualityDecidesTheFileSize) {
    saveThroughPanel("low.jpg", [](KXExportOptionsView& options) {
        EXPECT_EQ(options.type(), "public.jpeg");
        chooseQuality(options, 0.1);
    });
    saveThroughPanel("high.jpg", [](KXExportOptionsView& options) { chooseQuality(options, 1.0); });
    for (const char* name : {"low.jpg", "high.jpg"}) {
        auto back = imageio::ImageSource::createWithPath(dir.file(name));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->type(), "public.jpeg");
    }
    EXPECT_LT(std::filesystem::file_size(dir.file("low.jpg")) * 2,
              std::filesystem::file_size(dir.file("high.jpg")));
}

TEST_F(SavePanelOptions, PngChosenWritesPngAndKeepsThePhotosMetadata) {
    saveThroughPanel("out.png", [](KXExportOptionsView& options) { chooseType(options, "public.png"); });
    auto back = imageio::ImageSource::createWithPath(dir.file("out.png"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->type(), "public.png");
    const Value* make = entry(back->copyProperties(), "{TIFF}", "Make");
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(*make->getString(), "Opalene Optics");
    // The quick save goes on in the type chosen last.
    EXPECT_EQ(editor->imageUTType(), "public.png");
    EXPECT_EQ(editor->representedFilename(), dir.file("out.png"));
}

TEST_F(SavePanelOptions, APanelClosedUnsavedWritesNothing) {
    editor->saveImage();
    QFileDialog* panel = editor->window()->findChild<QFileDialog*>("savePanel");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(optionsIn(*panel), nullptr);
    QMetaObject::invokeMethod(panel, "reject");
    runEventLoopFor(0.05);
    EXPECT_TRUE(editor->isDocumentEdited());
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()),
        1);
}
