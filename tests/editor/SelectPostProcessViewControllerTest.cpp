#include "editor/SelectPostProcessViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/VQTextView.h"
#include "controls/ViewAlpha.h"
#include "editor/SelectPostProcessViewControllerOwner.h"
#include "engine/CustomPreset.h"
#include "engine/CustomPresetsManager.h"
#include "engine/PostProcess.h"
#include "engine/PostProcessesManager.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "support/EmptySharedPresets.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include "controls/KXPopoverViewCell.h"
#include "controls/KXVQPopoverView.h"
#include "controls/VQPopoverScrollView.h"
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace {

void wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

void click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = widget->rect().center();
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

struct FakeOwner : SelectPostProcessViewControllerOwner {
    graphics::ImagePtr picture;
    PostProcess* frame = nullptr;
    std::vector<int32_t> tabs, tools;
    int undoValidations = 0;
    graphics::ImagePtr image() const override { return picture; }
    void validateUndoRedoButtonsState() override { ++undoValidations; }
    void newTabSelected(int32_t tab) override { tabs.push_back(tab); }
    void setTool(int32_t tool) override { tools.push_back(tool); }
    PostProcess* currentFrameEffect() const override { return frame; }
    // The owner's side of a selection, in order: "effect <name>", "preset <name>", "sidebar",
    // "frame button", "clear preview", "cursor".
    std::vector<std::string> calls;
    bool disabled = false;
    int spinnerStops = 0;
    void selectPostProcess(PostProcess* effect) override { calls.push_back("effect " + effect->get_name()); }
    void selectPreset(std::shared_ptr<CustomPreset> preset) override {
        calls.push_back("preset " + preset->name());
    }
    void showEffectsSidebar() override { calls.push_back("sidebar"); }
    void frameButtonClick() override { calls.push_back("frame button"); }
    bool imageViewIsDisabled() const override { return disabled; }
    void clearPreviewImage() override { calls.push_back("clear preview"); }
    void forceCustomCursorSet() override { calls.push_back("cursor"); }
    void stopEffectCenterProgress() override { ++spinnerStops; }
    void startEffectCenterProgress() override { calls.push_back("spinner"); }
    void slidersDidChange() override { calls.push_back("sliders"); }
    std::vector<double> margins;
    std::vector<bool> fits;
    void setImageViewBottomMargin(double margin) override { margins.push_back(margin); }
    void zoomImageViewToFit(bool animated) override { fits.push_back(animated); }
};

class Browser : public ::testing::Test {
  protected:
    void SetUp() override {
        environment.set("OPALENE_CONFIG_DIR", dir.file("config"));
        environment.set("OPALENE_DATA_DIR", dir.file("data"));
        QImage photo(64, 48, QImage::Format_ARGB32_Premultiplied);
        photo.fill(Qt::darkCyan);
        owner.picture = ImageAdditional::fromQImage(photo);
        // A source for the thumbnail queue, with nothing made: the tests read the queue itself.
        manager().setOriginalImage(owner.picture);
        manager().setGeneratingOn(false);
        // The shared thumbnail queue starts empty, as in a program started afresh.
        manager().cleanGeneratedEffectsPresets();
        browser = make();
    }
    void TearDown() override {
        browser.reset();
        manager().cleanGeneratedEffectsPresets();
    }

    std::unique_ptr<SelectPostProcessViewController> make() {
        auto made = std::make_unique<SelectPostProcessViewController>();
        made->resize(900, SelectPostProcessViewController::kPanelHeight);
        made->setOwner(&owner);
        made->setUndoManager(&undo);
        made->show();
        QApplication::processEvents(); // the buttons' deferred set-up
        made->reloadEffectsTableView();
        return made;
    }
    static PostProcessesManager& manager() { return PostProcessesManager::sharedPostProcessesManager(); }
    KXTableViewCell* cellAt(int64_t column) {
        return static_cast<KXTableViewCell*>(
            browser->postProcessesTableView()->cellWithTag(KXTableView::kFirstTag + column));
    }
    std::vector<std::string> shownNames() {
        std::vector<std::string> out;
        for (int64_t i = 0; i < browser->numberOfColumns(); ++i) {
            auto* cell = static_cast<KXTableViewCell*>(browser->cellForColumnAtIndex(i));
            out.push_back(cell->postProcess() ? cell->postProcess()->get_name()
                                              : cell->customPreset()->name());
        }
        return out;
    }

    QApplication& app = uiApplication();
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    EmptySharedPresets emptyPresets;
    FakeOwner owner;
    foundation::UndoManager undo;
    std::unique_ptr<SelectPostProcessViewController> browser;
};

} // namespace

TEST_F(Browser, ColumnsFollowTheTabsListOnlyWhileThereIsAPhoto) {
    SelectPostProcessListModel lists;
    const size_t effects = lists.currentEffects(0).size();
    ASSERT_GT(effects, 8u);
    EXPECT_EQ(browser->numberOfColumns(), int64_t(effects));
    EXPECT_EQ(browser->widthForColumnAtIndex(0), 180);
    EXPECT_EQ(browser->cellForColumnAtIndex(int64_t(effects)), nullptr);
    EXPECT_EQ(browser->cellForColumnAtIndex(-1), nullptr);
    owner.picture = nullptr;
    EXPECT_EQ(browser->numberOfColumns(), 0);
}

TEST_F(Browser, CellsAreKeptPerEffectAndQueueTheirThumbnailsWithinTheLimit) {
    KXTableView* strip = browser->postProcessesTableView();
    // After the first reload only the columns in view asked for thumbnails, in column order.
    std::vector<PostProcess*> queued;
    for (const auto& entry : manager().stackEffects())
        queued.push_back(std::get<PostProcess*>(entry));
    SelectPostProcessListModel lists;
    const std::vector<PostProcess*> list = lists.currentEffects(0);
    ASSERT_FALSE(queued.empty());
    EXPECT_LE(queued.size(), manager().maxCountEffects());
    EXPECT_EQ(queued, std::vector<PostProcess*>(list.begin(), list.begin() + ptrdiff_t(queued.size())));
    EXPECT_LT(queued.size(), list.size());
    // The limits are the strip's count of columns in view, plus one.
    const int64_t visible = strip->visibleCellsCount();
    ASSERT_GT(visible, 2);
    browser->reloadEffectsTableView();
    EXPECT_EQ(manager().maxCountEffects(), uint64_t(visible + 1));
    EXPECT_EQ(manager().maxCountPresets(), uint64_t(visible + 1));
    EXPECT_LE(manager().stackEffects().size(), size_t(visible + 1));
    ASSERT_NE(cellAt(0), nullptr);
    EXPECT_EQ(cellAt(0)->postProcess(), list[0]);
    EXPECT_EQ(browser->cellForColumnAtIndex(0), cellAt(0)); // the same cell again
    EXPECT_EQ(cellAt(0)->width(), 180);
}

TEST_F(Browser, TabsSwitchWithOneUndoStepAndKeepTheirScrollPositions) {
    KXTableView* strip = browser->postProcessesTableView();
    strip->setScrollPosition(540, false);
    manager().setGeneratingOn(true); // no worker starts: nothing is queued for the new tab's source
    click(browser->tabButtonFrames());
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->selectedTab(), SelectPostProcessListModel::kTabFrames);
    EXPECT_EQ(browser->tabButtonFrames()->state(), 1);
    EXPECT_EQ(browser->tabButtonEffects()->state(), 0);
    EXPECT_EQ(owner.tabs, std::vector<int32_t>{1});
    EXPECT_EQ(owner.tools, std::vector<int32_t>{0});
    EXPECT_EQ(owner.undoValidations, 1);
    EXPECT_TRUE(manager().isGeneratingOn());
    EXPECT_EQ(browser->tabScrollPositions().at("Effects"), 540);
    for (const std::string& name : shownNames()) {
        PostProcess* effect = manager().postProcessWithName(name);
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_TRUE(effect->isFrame()) << name;
    }
    wait(300);
    EXPECT_EQ(strip->scrollPosition(), 0);

    // The same tab again changes nothing and registers nothing.
    click(browser->tabButtonFrames());
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(owner.tabs.size(), 1u);

    undo.undo();
    EXPECT_EQ(browser->selectedTab(), SelectPostProcessListModel::kTabEffects);
    EXPECT_EQ(browser->tabButtonEffects()->state(), 1);
    wait(300);
    EXPECT_EQ(strip->scrollPosition(), 540);
    manager().setGeneratingOn(false);
}

TEST_F(Browser, TheFramesTabRemembersTheFrameOnThePhoto) {
    owner.frame = manager().postProcesses().back().get();
    click(browser->tabButtonFrames());
    EXPECT_EQ(browser->selectedItemsNames()["Frames"], owner.frame->get_name());
    browser->cleanSelectedItems();
    EXPECT_EQ(browser->selectedItemsNames().count("Frames"), 0u);
}

TEST_F(Browser, TypingInTheSearchFieldFiltersTheStripByName) {
    const int64_t all = browser->numberOfColumns();
    type(browser->searchField(), "SKETCH");
    EXPECT_EQ(browser->filterString(), "sketch");
    const std::vector<std::string> shown = shownNames();
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(int64_t(shown.size()), all);
    for (const std::string& name : shown)
        EXPECT_NE(QString::fromStdString(name).toLower().indexOf("sketch"), -1) << name;
    EXPECT_TRUE(browser->infoTableLabel()->isHidden());

    type(browser->searchField(), "zzz");
    EXPECT_EQ(browser->numberOfColumns(), 0);
    browser->cleanSelectedItems();
    EXPECT_EQ(browser->searchField()->text(), QString());
    EXPECT_EQ(browser->numberOfColumns(), all);
}

TEST_F(Browser, ClearingAnEmptyFilterLeavesTheStripWhereItIs) {
    browser->postProcessesTableView()->setScrollPosition(360, false);
    browser->setFilterString(std::nullopt);
    browser->setFilterString(std::string());
    browser->cleanSelectedItems();
    wait(300);
    EXPECT_EQ(browser->postProcessesTableView()->scrollPosition(), 360);
}

TEST_F(Browser, ACategoryChosenFromTheListNarrowsTheStripAndIsRemembered) {
    SelectPostProcessListModel lists;
    const std::vector<std::string> categories = lists.categories();
    ASSERT_GT(categories.size(), 2u);
    click(browser->categoriesPopupButton());
    EXPECT_TRUE(browser->categoriesPopupActive());
    KXVQPopoverView* popover = browser->popoverView();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(popover->isVisible());
    EXPECT_EQ(popover->parentWidget(), browser->window());
    ASSERT_NE(popover->cellAtRow(int(categories.size())), nullptr);
    EXPECT_EQ(popover->cellAtRow(int(categories.size()) + 1), nullptr);
    EXPECT_EQ(popover->cellAtRow(0)->categoryNameTextField()->text().toStdString(),
              SelectPostProcessListModel::allEffectsName());
    EXPECT_TRUE(popover->cellAtRow(0)->checked());
    EXPECT_FALSE(popover->cellAtRow(2)->checked());
    EXPECT_GE(popover->scrollView()->width(), browser->categoriesPopupButton()->width());
    // The list ends 10 points above the button.
    const QPoint buttonTop = browser->categoriesPopupButton()->mapTo(browser->window(), QPoint(0, 0));
    EXPECT_EQ(popover->scrollView()->geometry().bottom() + 1, buttonTop.y() - 10);

    click(popover->tableView(), popover->rowRect(2).center());
    wait(50);
    EXPECT_FALSE(browser->categoriesPopupActive());
    EXPECT_EQ(browser->popoverView(), nullptr);
    EXPECT_EQ(browser->selectedCategoryIndex(), 2);
    EXPECT_EQ(browser->categoriesPopupButton()->displayedTitle().toStdString(), "    " + categories[1]);
    for (const std::string& name : shownNames())
        EXPECT_EQ(manager().postProcessWithName(name)->get_categorie(), categories[1]) << name;
    EXPECT_EQ(foundation::UserDefaults::standardUserDefaults().stringForKey(
                  "k_Categories_Popover_Selected_Cell_Key"),
              categories[1]);

    // A new browser starts on the remembered category.
    browser.reset();
    browser = make();
    EXPECT_EQ(browser->selectedCategoryIndex(), 2);
    EXPECT_EQ(browser->numberOfColumns(), int64_t(lists.processForCategory(categories[1], false).size()));
}

TEST_F(Browser, TheCategoryListClosesOnASecondClick) {
    click(browser->categoriesPopupButton());
    ASSERT_NE(browser->popoverView(), nullptr);
    click(browser->categoriesPopupButton());
    wait(50);
    EXPECT_FALSE(browser->categoriesPopupActive());
    EXPECT_EQ(browser->popoverView(), nullptr);
}

TEST_F(Browser, EmptyListsExplainThemselves) {
    click(browser->favoritesCheckBox());
    EXPECT_EQ(browser->favoritesCheckBox()->state(), 1);
    EXPECT_EQ(browser->numberOfColumns(), 0);
    EXPECT_FALSE(browser->infoTableLabel()->isHidden());
    EXPECT_EQ(browser->infoTableLabel()->text(), "No favourite effects yet");
    EXPECT_FALSE(browser->categoriesPopupButton()->isEnabled());

    click(browser->tabButtonPresets());
    EXPECT_TRUE(browser->categoriesPopupButton()->isHidden());
    EXPECT_TRUE(browser->favoritesCheckBox()->isHidden());
    EXPECT_EQ(browser->selectedCategoryIndex(), 0);
    EXPECT_EQ(browser->infoTableLabel()->text().toStdString(),
              "You have no custom users presets. To create new custom preset press \"+Add Preset\" button.");

    // A favourite fills the Effects tab's favourites again.
    click(browser->tabButtonEffects());
    SelectPostProcessListModel lists;
    PostProcess* favourite = lists.currentEffects(0).front();
    favourite->set_fav(true);
    click(browser->favoritesCheckBox());
    click(browser->favoritesCheckBox());
    EXPECT_EQ(shownNames(), std::vector<std::string>{favourite->get_name()});
    EXPECT_TRUE(browser->infoTableLabel()->isHidden());
    EXPECT_TRUE(browser->categoriesPopupButton()->isEnabled());
    favourite->set_fav(false);
}

TEST_F(Browser, PresetCellsAreWiderAndSurviveARename) {
    auto& presets = CustomPresetsManager::sharedCustomPresetsManager();
    auto first = std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Warm Morning");
    presets.addPreset(first);
    presets.addPreset(std::make_shared<CustomPreset>(std::vector<EffectRecord>{}, "Cold Night"));
    click(browser->tabButtonPresets());
    EXPECT_TRUE(browser->infoTableLabel()->isHidden());
    EXPECT_EQ(shownNames(), (std::vector<std::string>{"Warm Morning", "Cold Night"}));
    EXPECT_EQ(browser->widthForColumnAtIndex(0), 224);
    auto* cell = static_cast<KXTableViewCell*>(browser->cellForColumnAtIndex(0));
    EXPECT_EQ(cell->customPreset(), first);
    EXPECT_EQ(cell->width(), 224);
    EXPECT_EQ(cell->delegate(), browser.get());
    first->setName("Warm Dawn");
    EXPECT_EQ(browser->cellForColumnAtIndex(0), cell);
}

TEST_F(Browser, ShadowsShowWhereTheStripGoesOn) {
    EXPECT_EQ(ViewAlpha::alpha(browser->leftShadow()), 0);
    EXPECT_EQ(ViewAlpha::alpha(browser->rightShadow()), 1);
    browser->scrollEffectsRight();
    wait(300);
    EXPECT_GT(browser->postProcessesTableView()->scrollPosition(), 0);
    EXPECT_EQ(ViewAlpha::alpha(browser->leftShadow()), 1);
    EXPECT_EQ(ViewAlpha::alpha(browser->rightShadow()), 1);
}

TEST_F(Browser, ThePushedTabIsDrawnLit) {
    const QImage shot = browser->grab().toImage();
    const QColor effects = shot.pixelColor(browser->tabButtonEffects()->geometry().topLeft() + QPoint(10, 4));
    const QColor frames = shot.pixelColor(browser->tabButtonFrames()->geometry().topLeft() + QPoint(10, 4));
    EXPECT_GT(effects.blue(), effects.red() + 40);         // the accent
    EXPECT_LT(std::abs(frames.blue() - frames.red()), 12); // neutral grey
}

namespace {

// A press on the strip at the middle of a column.
void clickColumn(SelectPostProcessViewController& browser, int64_t column) {
    KXTableView* strip = browser.postProcessesTableView();
    click(strip, QPoint(int(4 + column * browser.widthForColumnAtIndex(0) + 90), 60));
}

// A category of the real catalogue with exactly `count` visible members.
std::optional<std::string> categoryOfSize(size_t count) {
    SelectPostProcessListModel lists;
    for (const std::string& category : lists.categories())
        if (lists.processForCategory(category, false).size() == count) return category;
    return std::nullopt;
}

int64_t rowOf(const std::string& category) {
    SelectPostProcessListModel lists;
    const std::vector<std::string> all = lists.categories();
    return int64_t(std::find(all.begin(), all.end(), category) - all.begin()) + 1;
}

} // namespace

TEST_F(Browser, AClickSelectsAColumnAndASecondClickDeselectsItWithUndo) {
    std::vector<foundation::Value> sidebar;
    foundation::NotificationCenter::defaultCenter().addObserver(
        this, "effectsSidebarStateWasChanged", nullptr,
        [&](const foundation::Notification& n) { sidebar.push_back(n.object); });
    SelectPostProcessListModel lists;
    const std::string second = lists.currentEffects(0)[1]->get_name();
    clickColumn(*browser, 1);
    foundation::MainQueue::passDidEnd();
    ASSERT_NE(browser->selectedCell(), nullptr);
    EXPECT_EQ(browser->selectedCell()->tag(), 201);
    EXPECT_TRUE(browser->selectedCell()->isSelected());
    EXPECT_EQ(browser->currentEffectIndex(), 1);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"effect " + second, "sidebar"}));
    EXPECT_EQ(browser->selectedItemsNames()["Effects"], second);
    EXPECT_EQ(owner.spinnerStops, 1);
    EXPECT_TRUE(browser->previousEffectButton()->isEnabled());

    KXTableViewCell* cell = browser->selectedCell();
    clickColumn(*browser, 1);
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->selectedCell(), nullptr);
    EXPECT_FALSE(cell->isSelected());
    EXPECT_EQ(browser->currentEffectIndex(), -1);
    EXPECT_EQ(owner.tools.back(), 0);
    ASSERT_EQ(sidebar.size(), 1u);
    EXPECT_EQ(sidebar[0], foundation::Value(false));
    EXPECT_EQ(browser->selectedItemsNames().count("Effects"), 0u);

    owner.calls.clear();
    undo.undo();
    EXPECT_EQ(browser->selectedCell(), cell);
    EXPECT_EQ(browser->currentEffectIndex(), 1);
    EXPECT_EQ(owner.calls.front(), "effect " + second);
    undo.undo();
    EXPECT_EQ(browser->selectedCell(), nullptr);
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

TEST_F(Browser, NextAndPreviousWalkTheListAndUndoEachOther) {
    SelectPostProcessListModel lists;
    const std::vector<PostProcess*> list = lists.currentEffects(0);
    EXPECT_TRUE(browser->nextEffectButton()->isEnabled());
    EXPECT_FALSE(browser->previousEffectButton()->isEnabled());
    EXPECT_TRUE(browser->randomButton()->isEnabled());
    click(browser->nextEffectButton()); // nothing selected, strip at its start: column 0
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->currentEffectIndex(), 0);
    EXPECT_EQ(browser->selectedCell()->postProcess(), list[0]);
    EXPECT_FALSE(browser->previousEffectButton()->isEnabled());
    click(browser->nextEffectButton());
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->selectedCell()->postProcess(), list[1]);
    EXPECT_TRUE(browser->previousEffectButton()->isEnabled());
    EXPECT_EQ(browser->selectedItemsNames()["Effects"], list[1]->get_name());
    click(browser->previousEffectButton());
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->selectedCell()->postProcess(), list[0]);
    undo.undo(); // the previous step's undo is a step forward
    EXPECT_EQ(browser->selectedCell()->postProcess(), list[1]);

    // The last column: Next is disabled and does nothing.
    browser->selectEffectIndex(int64_t(list.size()) - 1, true);
    wait(300);
    EXPECT_EQ(browser->selectedCell()->postProcess(), list.back());
    EXPECT_FALSE(browser->nextEffectButton()->isEnabled());
    browser->buttonShowNextEffectPreviewClick();
    EXPECT_EQ(browser->currentEffectIndex(), int64_t(list.size()) - 1);

    // Nothing moves while the image view is disabled.
    owner.disabled = true;
    browser->buttonShowPreviousEffectPreviewClick();
    EXPECT_EQ(browser->currentEffectIndex(), int64_t(list.size()) - 1);
}

TEST_F(Browser, RandomPicksTheOtherOfTwoColumnsAndNeedsTwo) {
    const std::optional<std::string> pair = categoryOfSize(2);
    ASSERT_TRUE(pair);
    browser->didSelectCellAtIndex(nullptr, rowOf(*pair));
    ASSERT_EQ(browser->numberOfColumns(), 2);
    browser->selectEffectIndex(0, true);
    foundation::MainQueue::passDidEnd();
    for (int round = 0; round < 3; ++round) {
        click(browser->randomButton());
        foundation::MainQueue::passDidEnd();
        EXPECT_EQ(browser->currentEffectIndex(), 1);
        undo.undo();
        EXPECT_EQ(browser->currentEffectIndex(), 0);
    }
    const std::optional<std::string> single = categoryOfSize(1);
    ASSERT_TRUE(single);
    browser->didSelectCellAtIndex(nullptr, rowOf(*single));
    undo.removeAllActions();
    EXPECT_FALSE(browser->randomButton()->isEnabled());
    browser->randomButtonClick(); // one column: no other to draw, nothing done
    foundation::MainQueue::passDidEnd();
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(Browser, AClickPastTheLastColumnChangesNothing) {
    const std::optional<std::string> pair = categoryOfSize(2);
    ASSERT_TRUE(pair);
    browser->didSelectCellAtIndex(nullptr, rowOf(*pair));
    clickColumn(*browser, 0);
    foundation::MainQueue::passDidEnd();
    KXTableViewCell* cell = browser->selectedCell();
    ASSERT_NE(cell, nullptr);
    undo.removeAllActions();
    clickColumn(*browser, 3);
    foundation::MainQueue::passDidEnd();
    EXPECT_EQ(browser->selectedCell(), cell);
    EXPECT_EQ(browser->currentEffectIndex(), 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(Browser, SelectingByIndexClearsTheFilter) {
    type(browser->searchField(), "a");
    ASSERT_EQ(browser->filterString(), "a");
    browser->selectEffectIndex(0, false);
    EXPECT_EQ(browser->filterString(), "");
    EXPECT_EQ(browser->currentEffectIndex(), 0);
}

TEST_F(Browser, TheRememberedItemIsSelectedAgainAfterTheListChanges) {
    const std::optional<std::string> pair = categoryOfSize(2);
    ASSERT_TRUE(pair);
    SelectPostProcessListModel lists;
    PostProcess* chosen = lists.processForCategory(*pair, false)[1];
    const std::vector<PostProcess*> all = lists.currentEffects(0);
    browser->selectEffectIndex(int64_t(std::find(all.begin(), all.end(), chosen) - all.begin()), true);
    owner.calls.clear();
    browser->didSelectCellAtIndex(nullptr, rowOf(*pair));
    EXPECT_EQ(browser->currentEffectIndex(), 1);
    EXPECT_EQ(browser->selectedCell()->postProcess(), chosen);
    EXPECT_EQ(owner.calls, std::vector<std::string>{"effect " + chosen->get_name()});
    EXPECT_TRUE(browser->previousEffectButton()->isEnabled());
    EXPECT_FALSE(browser->nextEffectButton()->isEnabled());

    // Nothing remembered on the Presets tab: the preview is cleared.
    owner.calls.clear();
    click(browser->tabButtonPresets());
    EXPECT_NE(std::find(owner.calls.begin(), owner.calls.end(), "clear preview"), owner.calls.end());
    EXPECT_EQ(browser->currentEffectIndex(), -1);
}

TEST_F(Browser, TheStripCollapsesToItsBarAndComesBack) {
    const int panel = browser->bottomContentView()->height();
    click(browser->hidePostProcessesButton());
    EXPECT_TRUE(browser->bottomContentViewHidden());
    EXPECT_EQ(browser->hidePostProcessesButton()->state(), 0);
    EXPECT_EQ(browser->appButtomContentViewHeight(), 0);
    wait(400);
    const int strip = browser->postProcessesTableView()->scrollArea()->height();
    EXPECT_EQ(browser->bottomContentView()->y(), strip + 21 - 15);
    ASSERT_FALSE(owner.margins.empty());
    EXPECT_EQ(owner.margins.back(), panel - (strip + 21));
    EXPECT_FALSE(owner.fits.empty());
    // The bar with the tabs stays in view.
    EXPECT_LE(browser->bottomContentView()->y() + browser->tabButtonEffects()->geometry().bottom(),
              browser->height());

    browser->previewDoubleClickedWithActionString("hide bottom menu");
    EXPECT_FALSE(browser->bottomContentViewHidden());
    EXPECT_EQ(browser->hidePostProcessesButton()->state(), 1);
    wait(400);
    EXPECT_EQ(browser->bottomContentView()->y(), 0);
    EXPECT_EQ(owner.margins.back(), panel);
    EXPECT_EQ(browser->appButtomContentViewHeight(), panel);
}

TEST_F(Browser, AClickOnThePreviewSetsTheSelectedEffectsCentre) {
    // The photo is 64 x 48, shown in a 128 x 96 preview: two points per pixel.
    browser->previewClickedAtPoint(QPointF(32, 72), QRectF(0, 0, 128, 96));
    EXPECT_TRUE(owner.calls.empty()); // nothing selected: no spinner left turning
    browser->selectEffectIndex(0, false);
    PostProcess* effect = browser->selectedCell()->postProcess();
    owner.calls.clear();
    browser->previewClickedAtPoint(QPointF(32, 72), QRectF(0, 0, 128, 96));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"spinner", "sliders"}));
    EXPECT_DOUBLE_EQ(effect->effectCenter().x, 0.25);
    EXPECT_DOUBLE_EQ(effect->effectCenter().y, 0.25);
}
