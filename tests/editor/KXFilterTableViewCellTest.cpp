#include "editor/KXFilterTableViewCell.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "editor/KXTableViewCell.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "support/EmptySharedPresets.h"
#include "support/ScopedEnvironment.h"
#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QLineEdit>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

struct Recorder : KXFilterTableViewCellDelegate {
    std::vector<std::string> calls;
    void deletePreset(KXFilterTableViewCell*, std::shared_ptr<CustomPreset> p) override {
        calls.push_back("delete " + p->name());
    }
    void sharePresetButtonClickWithPreset(KXFilterTableViewCell*, std::shared_ptr<CustomPreset> p) override {
        calls.push_back("share " + p->name());
    }
};

class FilterCell : public ::testing::Test {
  protected:
    void SetUp() override {
        uiApplication();
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
    }
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    EmptySharedPresets emptyPresets;
};

} // namespace

TEST_F(FilterCell, TheStarTogglesTheEffectsFavourite) {
    StubPixelEffect effect;
    std::unique_ptr<KXFilterTableViewCell> cell(KXFilterTableViewCell::initTextCellWithPostProcess(&effect));
    EXPECT_EQ(cell->effectNameTextField()->text(), QString::fromStdString(effect.get_name()));
    const bool before = effect.favorite();
    cell->favoritesButtonClick();
    EXPECT_NE(effect.favorite(), before);
    cell->favoritesButtonClick();
    EXPECT_EQ(effect.favorite(), before);
}

TEST_F(FilterCell, TheBusyIndicatorShowsUntilAThumbnailExists) {
    StubPixelEffect effect;
    std::unique_ptr<KXFilterTableViewCell> cell(KXFilterTableViewCell::initTextCellWithPostProcess(&effect));
    EXPECT_FALSE(cell->progressIndicator()->isHidden());
    QImage red(40, 20, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    effect.setPreviewImage(ImageAdditional::fromQImage(red));
    EXPECT_TRUE(cell->progressIndicator()->isHidden());
    EXPECT_FALSE(cell->previewImageView()->image().isNull());
}

TEST_F(FilterCell, RenamingTakesOnlyAFreeNonEmptyName) {
    auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
    auto taken = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Taken");
    auto mine = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Mine");
    presets.addPreset(taken);
    presets.addPreset(mine);
    std::unique_ptr<KXFilterTableViewCell> cell(KXFilterTableViewCell::initTextCellWithCustomPreset(mine));
    cell->editButtonClick();
    EXPECT_FALSE(cell->effectNameTextField()->isReadOnly());
    EXPECT_EQ(cell->editButton()->title(), "Ok");
    cell->effectNameTextField()->setText("Taken");
    cell->editButtonClick();
    EXPECT_EQ(mine->name(), "Mine");
    EXPECT_EQ(cell->effectNameTextField()->text(), "Mine");
    EXPECT_TRUE(cell->effectNameTextField()->isReadOnly());
    EXPECT_EQ(cell->editButton()->title(), "Edit");
    cell->editButtonClick();
    cell->effectNameTextField()->setText("Golden Hour");
    cell->editButtonClick();
    EXPECT_EQ(mine->name(), "Golden Hour");
}

TEST_F(FilterCell, DeleteAndShareReachTheDelegateWithThePreset) {
    auto preset = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Dusk");
    std::unique_ptr<KXFilterTableViewCell> cell(KXFilterTableViewCell::initTextCellWithCustomPreset(preset));
    Recorder recorder;
    cell->setDelegate(&recorder);
    cell->shareButtonClick();
    cell->deleteButtonClick();
    cell->deleteButtonClick(); // the preset is forgotten: nothing more
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"share Dusk", "delete Dusk"}));
    EXPECT_EQ(cell->customPreset(), nullptr);
}

TEST_F(FilterCell, InAListWithADisclosureColumnTheContentStartsFurtherLeftAndCoversWhatLiesThere) {
    StubPixelEffect effect;
    std::unique_ptr<KXFilterTableViewCell> cell(KXFilterTableViewCell::initTextCellWithPostProcess(&effect));
    QWidget list;
    list.resize(400, 300);
    auto* underneath = new QWidget(&list);
    underneath->setGeometry(20, 110, 50, 20);
    auto* elsewhere = new QWidget(&list);
    elsewhere->setGeometry(20, 250, 50, 20);
    list.show();
    cell->drawWithFrame(QRect(40, 100, 220, 64), &list, true);
    EXPECT_EQ(cell->contentView()->parentWidget(), &list);
    EXPECT_EQ(cell->contentView()->geometry(), QRect(8, 100, 252, 64));
    EXPECT_TRUE(underneath->isHidden());
    EXPECT_FALSE(elsewhere->isHidden());
}
