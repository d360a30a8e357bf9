#include "editor/SelectPostProcessViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQDialog.h"
#include "controls/VQTextView.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/KXSLocalization.h"
#include "support/EmptySharedPresets.h"
#include "support/EventLoop.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QImage>
#include <QLabel>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string localized(const char* key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

struct Owner : SelectPostProcessViewControllerOwner {
    graphics::ImagePtr picture;
    std::vector<int32_t> tools;
    std::vector<std::string> selections;
    graphics::ImagePtr image() const override { return picture; }
    void validateUndoRedoButtonsState() override {}
    void newTabSelected(int32_t) override {}
    void setTool(int32_t tool) override { tools.push_back(tool); }
    PostProcess* currentFrameEffect() const override { return nullptr; }
    void selectPostProcess(PostProcess*) override {}
    void selectPreset(std::shared_ptr<CustomPreset> preset) override { selections.push_back(preset->name()); }
    void showEffectsSidebar() override {}
    void frameButtonClick() override {}
    bool imageViewIsDisabled() const override { return false; }
    void clearPreviewImage() override {}
    void forceCustomCursorSet() override {}
    void stopEffectCenterProgress() override {}
    void startEffectCenterProgress() override {}
    void slidersDidChange() override {}
    void setImageViewBottomMargin(double) override {}
    void zoomImageViewToFit(bool) override {}
};

class PresetDialogs : public ::testing::Test {
  protected:
    PresetDialogs() {
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
        QImage photo(64, 48, QImage::Format_ARGB32_Premultiplied);
        photo.fill(Qt::darkCyan);
        owner.picture = ImageAdditional::fromQImage(photo);
        PostProcessesManager::sharedPostProcessesManager().setOriginalImage(owner.picture);
        PostProcessesManager::sharedPostProcessesManager().setGeneratingOn(false);
        warm = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm");
        cold = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Cold");
        presets().addPreset(warm);
        presets().addPreset(cold);
        host.resize(1000, 700);
        browser = new SelectPostProcessViewController(&host);
        browser->setGeometry(0, 700 - SelectPostProcessViewController::kPanelHeight, 1000,
                             SelectPostProcessViewController::kPanelHeight);
        browser->setOwner(&owner);
        browser->setUndoManager(&undo);
        host.show();
        QApplication::processEvents();
        browser->presetsTabButtonClick();
        foundation::NotificationCenter::defaultCenter().addObserver(
            this, CustomPresetsManagerPresetsDidChangeNotification, nullptr,
            [this](const foundation::Notification&) { ++saves; });
    }
    ~PresetDialogs() override { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
    static CustomPresetsManager& presets() { return CustomPresetsManager::sharedCustomPresetsManager(); }
    KXTableViewCell* cell(int64_t column) {
        return static_cast<KXTableViewCell*>(browser->cellForColumnAtIndex(column));
    }
    VQDialog* dialog() const { return browser->currentDialog(); }
    std::string message() const {
        return browser->infoForDialog() ? browser->infoForDialog()->text().toStdString()
                                        : "<no message line>";
    }
    void answer(const std::string& name) {
        ASSERT_NE(browser->presetNameTextField(), nullptr);
        browser->presetNameTextField()->setText(QString::fromStdString(name));
        dialog()->okButtonClick();
    }
    // A stack with one applied look, so that a preset can be made.
    void applyOneLook() {
        EffectRecord record;
        record[CustomPresetEffectNameKey] = foundation::Value(std::string("Cool Blue"));
        presets().setCurrentPostProcessesAndPresetsArray(
            std::make_shared<CustomPresetsManager::Stack>(CustomPresetsManager::Stack{record}));
    }

    QApplication& app = uiApplication();
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    EmptySharedPresets emptyPresets;
    Owner owner;
    foundation::UndoManager undo;
    QWidget host;
    SelectPostProcessViewController* browser = nullptr;
    std::shared_ptr<CustomPreset> warm, cold;
    int saves = 0;
};

TEST_F(PresetDialogs, NamingANewPresetChecksTheNameInOrder) {
    struct Case {
        const char* name;
        std::string typed;
        std::string message; // empty: stored and closed
    } cases[] = {
        {"empty", "", localized("kStringPresetWithNoNameAlertText")},
        {"blanks only", "   ", localized("kStringPresetWithNoNameAlertText")},
        {"existing name", "Warm", localized("kStringPresetWithNameExistsAlertText")},
        {"existing name with blanks around", "  Cold ", localized("kStringPresetWithNameExistsAlertText")},
        {"a control character", "Mi\tne", localized("Invalid preset name")},
        {"new name", "Mine", ""},
        {"any script", "Café ☕ 夜", ""},
    };
    applyOneLook();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = presets().presetsCount();
        browser->addPresetButtonClick();
        ASSERT_NE(dialog(), nullptr);
        EXPECT_EQ(dialog()->style(), VQDialog::kEditStyle);
        answer(c.typed);
        if (!c.message.empty()) {
            EXPECT_EQ(message(), c.message);
            ASSERT_NE(dialog(), nullptr) << "the dialog stays after a failed check";
            EXPECT_TRUE(dialog()->isShown());
            EXPECT_EQ(presets().presetsCount(), before);
            browser->destructiveButtonClickInDialog(dialog());
        } else {
            EXPECT_EQ(dialog(), nullptr);
            ASSERT_EQ(presets().presetsCount(), before + 1);
            EXPECT_NE(presets().presetWithName(c.typed), nullptr);
            EXPECT_EQ(browser->numberOfColumns(), int64_t(before + 1));
        }
        EXPECT_EQ(dialog(), nullptr);
    }
    // Stored presets are read back by the next run.
    std::unique_ptr<CustomPresetsManager> restarted = CustomPresetsManager::restoredFromSavedState();
    EXPECT_NE(restarted->presetWithName("Mine"), nullptr);
    EXPECT_NE(restarted->presetWithName("Café ☕ 夜"), nullptr);
}

TEST_F(PresetDialogs, TheNamingDialogShowsTheDefaultNameAndItsLines) {
    applyOneLook();
    browser->addPresetButtonClick();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->messageTextField()->text().toStdString(), localized("kStringAddPresetDialogTitle"));
    VQTextView* field = browser->presetNameTextField();
    ASSERT_NE(field, nullptr);
    EXPECT_FALSE(field->text().isEmpty());
    EXPECT_EQ(presets().presetWithName(field->text().toStdString()), nullptr) << "a fresh default name";
    // y-up (180, 118) in the 245-high panel.
    EXPECT_EQ(field->geometry(), QRect(180, 105, 260, 22));
    EXPECT_EQ(browser->infoForDialog()->geometry(), QRect(50, 130, 400, 15));
    EXPECT_TRUE(browser->infoForDialog()->text().isEmpty());
    // Cancel: the made preset is never stored.
    const size_t before = presets().presetsCount();
    dialog()->destructiveButtonClick();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(presets().presetsCount(), before);
}

TEST_F(PresetDialogs, WithNothingAppliedOnlyAnOkAlertShows) {
    presets().setCurrentPostProcessesAndPresetsArray(nullptr);
    browser->addPresetButtonClick();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->style(), VQDialog::kConfirmStyle);
    EXPECT_EQ(dialog()->messageTextField()->text().toStdString(), localized("kStringAlertTextCantAddPreset"));
    EXPECT_TRUE(dialog()->okButton()->isHidden());
    VQDialogButton* ok = dialog()->destructiveButton();
    EXPECT_EQ(ok->title().toStdString(), "Ok");
    // Halfway from its place (x 65) to the OK button's (x 180), rounded.
    EXPECT_EQ(ok->x(), 123);
    ok->click();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(presets().presetsCount(), 2u);
}

TEST_F(PresetDialogs, RenamingChecksAgainstOtherPresetsOnly) {
    browser->editButtonClickInTableViewCell(cell(0));
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->messageTextField()->text().toStdString(), localized("Edit Preset"));
    EXPECT_EQ(browser->presetNameTextField()->text(), "Warm");
    EXPECT_EQ(browser->presetNameTextField()->geometry(), QRect(180, 97, 260, 22));

    answer("Cold");
    EXPECT_EQ(message(), localized("kStringPresetWithNameExistsAlertText"));
    ASSERT_NE(dialog(), nullptr);

    const int savesBefore = saves;
    answer("Warm"); // its own name: closed, nothing saved
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(saves, savesBefore);
    EXPECT_EQ(warm->name(), "Warm");

    browser->editButtonClickInTableViewCell(cell(0));
    answer(" Hot ");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(warm->name(), "Hot");
    EXPECT_GT(saves, savesBefore);
    EXPECT_EQ(CustomPresetsManager::restoredFromSavedState()->presetWithName("Hot") != nullptr, true);
    EXPECT_EQ(cell(0)->customPreset(), warm);
}

TEST_F(PresetDialogs, RenamingTheSelectedPresetSelectsItAgain) {
    browser->selectEffectIndex(1, false);
    ASSERT_EQ(browser->selectedCell()->customPreset(), cold);
    owner.selections.clear();
    const bool couldUndo = undo.canUndo();
    browser->editButtonClickInTableViewCell(cell(1));
    answer("Frost");
    EXPECT_EQ(owner.selections, std::vector<std::string>{"Frost"});
    EXPECT_EQ(browser->selectedCell()->customPreset(), cold);
    EXPECT_EQ(browser->currentEffectIndex(), 1);
    EXPECT_EQ(undo.canUndo(), couldUndo);
}

TEST_F(PresetDialogs, DeletingTheSelectedPresetDeselectsIt) {
    browser->selectEffectIndex(0, false);
    ASSERT_EQ(browser->selectedCell()->customPreset(), warm);
    owner.tools.clear();
    browser->deleteButtonClickInTableViewCell(cell(0));
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->style(), VQDialog::kConfirmStyle);
    EXPECT_EQ(dialog()->messageTextField()->text().toStdString(), localized("Delete Preset?"));
    dialog()->okButtonClick();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(owner.tools, std::vector<int32_t>{0});
    EXPECT_EQ(browser->selectedCell(), nullptr);
    EXPECT_FALSE(browser->isPresetExportValid());
    EXPECT_EQ(presets().presetWithName("Warm"), nullptr);
    EXPECT_EQ(browser->numberOfColumns(), 1);
    EXPECT_EQ(CustomPresetsManager::restoredFromSavedState()->presetsCount(), 1u);
}

TEST_F(PresetDialogs, DeletingAnotherPresetKeepsTheSelectionAndItsIndex) {
    auto third = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Dusk");
    presets().addPreset(third);
    browser->reloadEffectsTableView();
    browser->selectEffectIndex(2, false);
    ASSERT_EQ(browser->selectedCell()->customPreset(), third);
    EXPECT_TRUE(browser->isPresetExportValid());
    owner.tools.clear();
    browser->deleteButtonClickInTableViewCell(cell(0));
    dialog()->okButtonClick();
    EXPECT_TRUE(owner.tools.empty());
    ASSERT_NE(browser->selectedCell(), nullptr);
    EXPECT_EQ(browser->selectedCell()->customPreset(), third);
    EXPECT_EQ(browser->currentEffectIndex(), 1) << "the index follows the selected preset";
    EXPECT_EQ(cell(browser->currentEffectIndex())->customPreset(), third);
}

TEST_F(PresetDialogs, CancellingADeleteKeepsThePreset) {
    browser->deleteButtonClickInTableViewCell(cell(1));
    dialog()->destructiveButtonClick();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(presets().presetWithName("Cold"), cold);
}

TEST_F(PresetDialogs, OnlyOneDialogIsOpenAtATime) {
    const uint32_t before = g_CountOfDialogs;
    applyOneLook();
    browser->addPresetButtonClick();
    VQDialog* naming = dialog();
    ASSERT_NE(naming, nullptr);
    browser->editButtonClickInTableViewCell(cell(0));
    ASSERT_NE(dialog(), nullptr);
    EXPECT_NE(dialog(), naming);
    EXPECT_TRUE(runEventLoopUntil([&] { return g_CountOfDialogs == before + 1; }, 2.0));
    // An answer from a dialog that is no longer the current one changes nothing.
    browser->okButtonClickInDialog(naming);
    EXPECT_NE(dialog(), nullptr);
    browser->closeCurrentDialog();
    EXPECT_TRUE(runEventLoopUntil([&] { return g_CountOfDialogs == before; }, 2.0));
}

TEST_F(PresetDialogs, TheOlderCellsDeleteRemovesThePresetAndItsColumn) {
    browser->deletePreset(nullptr, cold);
    EXPECT_EQ(presets().presetWithName("Cold"), nullptr);
    EXPECT_EQ(browser->numberOfColumns(), 1);
    browser->deletePreset(nullptr, warm);
    EXPECT_EQ(browser->numberOfColumns(), 0);
    EXPECT_FALSE(browser->infoTableLabel()->isHidden());
}

TEST_F(PresetDialogs, TheAddButtonShowsOnThePresetsTabOnly) {
    EXPECT_FALSE(browser->addPresetButton()->isHidden());
    browser->effectsTabButtonClick();
    EXPECT_TRUE(browser->addPresetButton()->isHidden());
}

} // namespace
