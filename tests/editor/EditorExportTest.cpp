#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "editor/SelectPostProcessViewController.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/appkit/Workspace.h"
#include "platform/foundation/UndoManager.h"
#include "platform/imageio/ImageDestination.h"
#include "platform/imageio/ImageSource.h"
#include "platform/services/KXSLocalization.h"
#include "support/EmptySharedPresets.h"
#include "support/EventLoop.h"
#include "support/ImagePixels.h"
#include "support/ScopedEnvironment.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QFileDialog>
#include <QImage>
#include <QMainWindow>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using Command = std::vector<std::string>;

std::string text(const char* key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

// The test's own temporary, settings, data and applications folders, and a launcher that starts
// nothing but keeps what it was asked to start.
struct ExportEnvironment {
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    std::vector<Command> launched;

    ExportEnvironment() {
        for (const char* folder : {"tmp", "data", "config", "apps/applications", "photos"})
            fs::create_directories(dir.path() / folder);
        environment.set("TMPDIR", dir.file("tmp"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("XDG_DATA_HOME", dir.file("apps"));
        environment.set("XDG_DATA_DIRS", dir.file("none"));
        appkit::Workspace::setLauncher([this](const Command& command) {
            launched.push_back(command);
            return true;
        });
    }
    ~ExportEnvironment() { appkit::Workspace::setLauncher(nullptr); }

    void install(const std::string& identifier) {
        std::ofstream(dir.path() / "apps/applications" / (identifier + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=" << identifier << "\nExec=record-" << identifier
            << " %f\nMimeType=image/tiff;\n";
    }
    std::string tmp(const std::string& name) const { return (dir.path() / "tmp" / name).string(); }
};

graphics::ImagePtr picture(QColor colour, int width = 40, int height = 30) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return ImageAdditional::fromQImage(image);
}

std::string writePhoto(const std::string& path, const std::string& type) {
    auto destination = imageio::ImageDestination::createWithPath(path, type);
    EXPECT_TRUE(destination);
    destination->addImage(picture(QColor(200, 120, 40)), {});
    EXPECT_TRUE(destination->finalize());
    return path;
}

std::string typeOf(const std::string& path) {
    auto source = imageio::ImageSource::createWithPath(path);
    return source ? source->type() : std::string();
}

EffectRecord record(const std::string& name) {
    return {{CustomPresetEffectNameKey, foundation::Value(name)},
            {CustomPresetParam1NumberValueKey, foundation::Value(0.5f)}};
}

std::vector<std::string> presetNames() {
    std::vector<std::string> names;
    for (const auto& preset : CustomPresetsManager::sharedCustomPresetsManager().presets())
        names.push_back(preset->name());
    return names;
}

struct EditorExport : ::testing::Test {
    QApplication& app = uiApplication();
    ExportEnvironment env;
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};

    EditorExport() {
        editor.terminate = [](int) {};
    }
    std::string photo(const std::string& name) const { return (env.dir.path() / "photos" / name).string(); }
    void openEdited(const std::string& name, const std::string& type) {
        editor.openImageURL(writePhoto(photo(name), type));
        ASSERT_NE(editor.image(), nullptr);
        editor.setDocumentEdited(true);
    }
};

TEST_F(EditorExport, EditedPhotosGoOverAsTiffsNamedAfterThePhotoInFreeNames) {
    env.install("com.adobe.Photoshop");
    openEdited("beach.jpg", "public.jpeg");
    std::vector<std::string> expected;
    for (const char* name : {"beach.tiff", "beach 2.tiff", "beach 3.tiff"}) {
        editor.preExportToApplicationWithName("Adobe Photoshop");
        ASSERT_TRUE(runEventLoopUntil([&] { return env.launched.size() == expected.size() + 1; }, 2.0))
            << name;
        expected.push_back(env.tmp(name));
        EXPECT_EQ(env.launched.back(), (Command{"record-com.adobe.Photoshop", env.tmp(name)}));
        EXPECT_EQ(typeOf(env.tmp(name)), "public.tiff");
    }
    // A copy for another program is not a save: the photo stays an edited JPEG.
    EXPECT_EQ(editor.imageUTType(), "public.jpeg");
    EXPECT_TRUE(editor.isDocumentEdited());
    editor.saveMenuItemClick();
    EXPECT_EQ(typeOf(photo("beach.jpg")), "public.jpeg");
}

TEST_F(EditorExport, AnUnchangedTiffIsHandedOverItself) {
    env.install("com.adobe.PhotoshopElements");
    editor.openImageURL(writePhoto(photo("scan.tif"), "public.tiff"));
    ASSERT_FALSE(editor.needSaveDocument());
    editor.exportToPhotoshopElementsItemClick("Adobe Photoshop Elements");
    ASSERT_EQ(env.launched.size(), 1u); // at once, without a write
    EXPECT_EQ(env.launched[0], (Command{"record-com.adobe.PhotoshopElements", photo("scan.tif")}));
    EXPECT_TRUE(fs::is_empty(env.dir.path() / "tmp"));
}

TEST_F(EditorExport, AChosenLookIsAppliedBeforeTheCopyIsWritten) {
    env.install("com.adobe.Photoshop");
    openEdited("beach.jpg", "public.jpeg");
    const graphics::ImagePtr opened = editor.image();
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);
    editor.selectPostProcess(look);
    ASSERT_TRUE(editor.needApplyCurrentPostProcessOrPreset());

    graphics::ImagePtr atLaunch;
    appkit::Workspace::setLauncher([&](const Command& command) {
        env.launched.push_back(command);
        atLaunch = editor.image();
        return true;
    });
    editor.preExportToApplicationWithName("Adobe Photoshop");
    ASSERT_TRUE(runEventLoopUntil([&] { return !env.launched.empty(); }, 20.0));
    ASSERT_NE(atLaunch, opened);
    EXPECT_EQ(atLaunch, editor.image());
    auto written = imageio::ImageSource::createWithPath(env.tmp("beach.tiff"));
    ASSERT_TRUE(written);
    const ImagePixels applied = pixelsOf(editor.image()), copy = pixelsOf(written->createImage());
    EXPECT_EQ(copy.w, applied.w);
    EXPECT_EQ(copy.rgba, applied.rgba);
}

TEST_F(EditorExport, TargetsThatAreMissingOrUnknown) {
    openEdited("beach.jpg", "public.jpeg");
    editor.preExportToApplicationWithName("Some Other Program");
    editor.preExportToApplicationWithName("Adobe Lightroom"); // none installed: nothing
    runEventLoopFor(0.1);
    EXPECT_TRUE(env.launched.empty());

    // The sibling products open their store page instead.
    editor.exportToBrellin("Brellin");
    editor.exportToVarnoc("Varnoc");
    ASSERT_EQ(env.launched.size(), 2u);
    EXPECT_EQ(env.launched[0][0], "xdg-open");
    EXPECT_NE(env.launched[0][1].find("brellin"), std::string::npos);
    EXPECT_NE(env.launched[1][1].find("varnoc"), std::string::npos);

    // The standard edition serves when the professional one is missing; Lightroom takes the newest.
    env.install("com.quillot.Brellin");
    env.install("com.adobe.Lightroom4");
    env.install("com.adobe.Lightroom3");
    EXPECT_EQ(RivorezIduvivViewController::availableBrellinIdentifier(), "com.quillot.Brellin");
    EXPECT_EQ(RivorezIduvivViewController::availableVarnocIdentifier(), "");
    EXPECT_EQ(RivorezIduvivViewController::availableLightroomIdentifier(), "com.adobe.Lightroom4");
    editor.exportToBrellin("Brellin");
    ASSERT_TRUE(runEventLoopUntil([&] { return env.launched.size() == 3; }, 2.0));
    EXPECT_EQ(env.launched[2][0], "record-com.quillot.Brellin");

    // A target whose program does not start is said.
    env.install("com.adobe.Photoshop");
    appkit::Workspace::setLauncher([](const Command&) { return false; });
    editor.exportToPhotoshopItemClick("Adobe Photoshop");
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_NE(alert->text().toStdString().find("Adobe Photoshop"), std::string::npos);
    answer(alert, 1);
}

TEST_F(EditorExport, AFailedCopyStartsNothingThenOrLater) {
    env.install("com.adobe.Photoshop");
    openEdited("beach.jpg", "public.jpeg");
    env.environment.set("TMPDIR", "/proc"); // a folder nobody can write in
    editor.preExportToApplicationWithName("Adobe Photoshop");
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(), text("Image cannot be saved"));
    answer(alert, 1);
    // The export waited on that write only: a later save does not start it.
    ASSERT_TRUE(editor.saveImageAtPath(photo("copy.png"), "public.png", {}, true));
    runEventLoopFor(0.1);
    EXPECT_TRUE(env.launched.empty());
}

TEST_F(EditorExport, TheLauncherScreenGetsThePathOnce) {
    openEdited("beach.jpg", "public.jpeg");
    std::vector<std::string> handed;
    editor._docklinePrepareBlock = [&](const std::string& path) { handed.push_back(path); };
    editor.preExportToApplicationWithName("Dockline");
    ASSERT_TRUE(runEventLoopUntil([&] { return !handed.empty(); }, 2.0));
    editor.preExportToApplicationWithName("Dockline");
    runEventLoopFor(0.1);
    EXPECT_EQ(handed, std::vector<std::string>{env.tmp("beach.tiff")});
    EXPECT_EQ(typeOf(handed[0]), "public.tiff");
}

TEST_F(EditorExport, PhotoLibraryFailuresShowTheirText) {
    openEdited("beach.jpg", "public.jpeg");
    editor.exportToIPhotoItemClick(); // no route: nothing
    std::vector<std::string> asked;
    editor.photoLibraryExport = [&](const std::string& id, const graphics::ImagePtr& image,
                                    const foundation::Dictionary&, std::string* error) {
        asked.push_back(id);
        EXPECT_EQ(image, editor.image());
        *error = "The library is not reachable.";
        return false;
    };
    editor.exportToApertureItemClick();
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(), "The library is not reachable.");
    answer(alert, 1);
    EXPECT_EQ(asked, std::vector<std::string>{"com.apple.Aperture"});
}

// ---- Preset backup and restore

struct PresetBackup : EditorExport {
    EmptySharedPresets emptyPresets;
    CustomPresetsManager& presets = CustomPresetsManager::sharedCustomPresetsManager();
    std::string backup = env.dir.file("presets.backup");

    void add(const std::string& name, const std::string& effect) {
        presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{record(effect)}, name));
    }
    void write(const std::string& bytes) { std::ofstream(backup, std::ios::binary) << bytes; }
    std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(PresetBackup, BackupThenRestoreThroughThePanelsGivesThePresetsBack) {
    add("Warm", "Cool Blue");
    add("Old", "Aged");
    editor.backupPresetsClick();
    QFileDialog* panel = nullptr;
    ASSERT_TRUE(runEventLoopUntil(
        [&] {
            return (panel = editor.window()->findChild<QFileDialog*>("backupPanel")) && panel->isVisible();
        },
        2.0));
    EXPECT_EQ(panel->selectedFiles().value(0).section('/', -1), "presets.backup");
    panel->setDirectory(QString::fromStdString(env.dir.path().string()));
    panel->selectFile("presets.backup");
    QMetaObject::invokeMethod(panel, "accept");
    ASSERT_TRUE(runEventLoopUntil([&] { return fs::exists(backup); }, 2.0));

    presets.deletePreset(presets.presetWithIndex(0));
    presets.deletePreset(presets.presetWithIndex(0));
    ASSERT_EQ(presets.presetsCount(), 0u);
    editor.restorePresetsClick();
    ASSERT_TRUE(runEventLoopUntil(
        [&] {
            return (panel = editor.window()->findChild<QFileDialog*>("restorePanel")) && panel->isVisible();
        },
        2.0));
    EXPECT_TRUE(panel->nameFilters().value(0).contains("*.backup"));
    panel->setDirectory(QString::fromStdString(env.dir.path().string()));
    panel->selectFile("presets.backup");
    QMetaObject::invokeMethod(panel, "accept");
    // No presets to lose: restored without a question.
    ASSERT_TRUE(runEventLoopUntil([&] { return presets.presetsCount() == 2; }, 2.0));
    EXPECT_EQ(presetNames(), (std::vector<std::string>{"Warm", "Old"}));
    EXPECT_EQ(shownAlert(editor.window(), 0.1), nullptr);
}

TEST_F(PresetBackup, ReplacingPresetsAsksFirst) {
    add("Warm", "Cool Blue");
    ASSERT_TRUE(presets.savePresetsAtPaht(backup));
    presets.deletePreset(presets.presetWithIndex(0));
    add("Current", "Aged");

    editor.openBackupPanelDidEnd(1, backup);
    QMessageBox* question = shownAlert(editor.window());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text().toStdString(), text("kStringReplacingPresetsAlertText"));
    answer(question, 0); // Cancel keeps them
    runEventLoopFor(0.05);
    EXPECT_EQ(presetNames(), std::vector<std::string>{"Current"});

    editor.openBackupPanelDidEnd(0, backup); // a cancelled panel asks nothing
    EXPECT_EQ(shownAlert(editor.window(), 0.1), nullptr);

    editor.openBackupPanelDidEnd(1, backup);
    answer(shownAlert(editor.window()), 1); // Replace...
    ASSERT_TRUE(runEventLoopUntil([&] { return presetNames() == std::vector<std::string>{"Warm"}; }, 2.0));
}

TEST_F(PresetBackup, DamagedOrForeignBackupsAreRefusedAndChangeNothing) {
    add("Warm", "Cool Blue");
    add("Old", "Aged");
    ASSERT_TRUE(presets.savePresetsAtPaht(backup));
    const std::string good = read(backup);
    presets.deletePreset(presets.presetWithIndex(1));
    const std::string storedList = read(env.dir.file("data") + "/presets");
    ASSERT_FALSE(storedList.empty());
    // Second element turned into something that is not a preset.
    std::string foreign = good;
    const size_t second = foreign.find("\"Old\"");
    ASSERT_NE(second, std::string::npos);
    foreign.replace(second, 5, "7");

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 17)},
        {"truncated", good.substr(0, good.size() / 2)},
        {"a later entry that is not a preset", foreign},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        write(c.bytes);
        editor.restorePresetsWithURL(backup);
        QMessageBox* alert = shownAlert(editor.window());
        ASSERT_NE(alert, nullptr) << c.what;
        EXPECT_EQ(alert->text().toStdString(), text("kStringRestorePresetsFailedAlertText")) << c.what;
        answer(alert, 1);
        EXPECT_EQ(presetNames(), std::vector<std::string>{"Warm"}) << c.what;
        EXPECT_EQ(read(env.dir.file("data") + "/presets"), storedList) << c.what;
    }
}

TEST_F(PresetBackup, RestoringLeavesAChosenPresetOfTheOldList) {
    add("Warm", "Cool Blue");
    ASSERT_TRUE(presets.savePresetsAtPaht(backup));
    openEdited("beach.jpg", "public.jpeg");
    editor.selectPreset(presets.presetWithIndex(0));
    ASSERT_EQ(editor.tool(), RivorezIduvivViewController::kParameters);

    editor.restorePresetsWithURL(backup);
    EXPECT_EQ(editor.selectedPreset(), nullptr);
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kBrowser);
    EXPECT_EQ(presetNames(), std::vector<std::string>{"Warm"});
    EXPECT_NE(presets.presetWithIndex(0), nullptr);
}

TEST_F(PresetBackup, AFailedBackupIsSaid) {
    add("Warm", "Cool Blue");
    editor.saveBackupPanelDidEnd(1, env.dir.file("no/such/folder/presets.backup"));
    QMessageBox* alert = shownAlert(editor.window());
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(), text("kStringBackupPresetsFailedAlertText"));
    answer(alert, 1);
    editor.saveBackupPanelDidEnd(0, backup); // cancelled: nothing written
    EXPECT_FALSE(fs::exists(backup));
}

} // namespace
