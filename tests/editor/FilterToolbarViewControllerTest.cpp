#include "editor/FilterToolbarViewController.h"

#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "controls/ViewAlpha.h"
#include "editor/FilterToolbarViewControllerDelegate.h"
#include "engine/PostProcessParameter.h"
#include "engine/PostProcessesManager.h"
#include "platform/coreimage/Image.h"
#include "platform/foundation/NotificationCenter.h"
#include "support/UiApplication.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

struct Recorder : FilterToolbarViewControllerDelegate {
    std::vector<std::string> calls;
    void applyButtonDidClick(FilterToolbarViewController*) override { calls.push_back("apply"); }
    void slidersDidChange(FilterToolbarViewController*) override { calls.push_back("sliders"); }
    void smallSizeClick(FilterToolbarViewController*) override { calls.push_back("small"); }
    void cancelButtonDidClick(FilterToolbarViewController*) override { calls.push_back("cancel"); }
    void drawButtonDidClick(FilterToolbarViewController*) override { calls.push_back("draw"); }
    void hideMaskButtonDidClick(FilterToolbarViewController*) override { calls.push_back("hide mask"); }
    void frameButtonClick(FilterToolbarViewController*) override { calls.push_back("frame"); }
};

struct Toolbar {
    Toolbar(bool first, bool second, bool frame) {
        if (first) view.setParam1(&amount);
        if (second) view.setParam2(&radius);
        view.setFrameEffect(frame);
        view.setDelegate(&recorder);
        view.setTitle("Pencil Sketch");
        view.updateSlidersParams();
        view.validateSlidersAnimated(false);
    }
    QApplication& app = uiApplication(); // before any widget member
    PostProcessParameter amount{"Amount", 0, 10, 4};
    PostProcessParameter radius{"Radius", 1, 5, 2};
    Recorder recorder;
    FilterToolbarViewController view;
};

} // namespace

TEST(FilterToolbar, HeightFollowsTheParametersAndTheFrameCaseWins) {
    struct Case {
        bool first, second, frame;
        int height;
    };
    const Case cases[] = {{true, true, false, 235},   {true, false, false, 200}, {false, true, false, 200},
                          {false, false, false, 130}, {true, true, true, 125},   {false, false, true, 125}};
    for (const Case& c : cases) {
        Toolbar t(c.first, c.second, c.frame);
        EXPECT_EQ(t.view.height(), c.height) << c.first << c.second << c.frame;
        EXPECT_EQ(ViewAlpha::alpha(t.view.firstSlider()), c.first ? 1 : 0);
        EXPECT_EQ(ViewAlpha::alpha(t.view.secondSlider()), c.second ? 1 : 0);
        EXPECT_EQ(t.view.applyButton()->isHidden(), c.frame);
    }
}

TEST(FilterToolbar, SlidersShowTheParametersAndAValueOutOfBoundsShowsTheDefault) {
    Toolbar t(true, true, false);
    EXPECT_EQ(t.view.firstSlider()->minValue(), 0);
    EXPECT_EQ(t.view.firstSlider()->maxValue(), 10);
    EXPECT_EQ(t.view.firstSlider()->doubleValue(), 4);
    EXPECT_EQ(t.view.firstSliderTitle()->text(), "Amount");
    EXPECT_EQ(t.view.nameFilter(), "Pencil Sketch");
    t.radius.setValue(9); // past its maximum of 5
    t.view.updateSlidersParams();
    EXPECT_EQ(t.view.secondSlider()->doubleValue(), 2);
}

TEST(FilterToolbar, MovingASliderSetsItsParameterAndAsksForARender) {
    Toolbar t(true, true, false);
    t.view.firstSlider()->setDoubleValue(7.5);
    emit t.view.firstSlider()->action(t.view.firstSlider());
    EXPECT_EQ(t.amount.value(), 7.5);
    EXPECT_EQ(t.recorder.calls, std::vector<std::string>{"sliders"});
}

TEST(FilterToolbar, CollapseTwiceDoesNothingTheSecondTimeAndANilSenderPostsNothing) {
    Toolbar t(true, true, false);
    int posted = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        &posted, "effectsSidebarStateWasChanged", nullptr,
        [&](const foundation::Notification&) { ++posted; });
    t.view.smallSizeButton()->setState(1);
    t.view.smallSizeClick(t.view.smallSizeButton());
    EXPECT_TRUE(t.view.smallSize());
    EXPECT_EQ(ViewAlpha::alpha(t.view.firstSlider()), 0);
    EXPECT_EQ(ViewAlpha::alpha(t.view.drawButton()), 0);
    t.view.smallSizeClick(t.view.smallSizeButton());
    EXPECT_EQ(t.recorder.calls, std::vector<std::string>{"small"});
    EXPECT_EQ(posted, 1);
    t.view.smallSizeButton()->setState(0);
    t.view.smallSizeClick(nullptr);
    EXPECT_FALSE(t.view.smallSize());
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(ViewAlpha::alpha(t.view.firstSlider()), 1);
    foundation::NotificationCenter::defaultCenter().removeObserver(&posted);
}

TEST(FilterToolbar, APaintedMaskMakesRoomForTheMaskButton) {
    // The shared mask and its recent copy go back to what they were, so later tests start without it.
    struct PutBack {
        PostProcessesManager& manager = PostProcessesManager::sharedPostProcessesManager();
        coreimage::ImagePtr mask = manager.mask(), recent = manager.recentMask();
        ~PutBack() {
            manager.setMask(mask);
            manager.setRecentMask(recent);
        }
    } putBack;
    Toolbar t(true, false, false);
    EXPECT_EQ(t.view.maskTrailConstraint(), 17);
    EXPECT_EQ(ViewAlpha::alpha(t.view.hideMaskButton()), 0);
    PostProcessesManager::sharedPostProcessesManager().setMask(
        coreimage::Image::imageWithColor({1, 1, 1, 1}));
    t.view.validateSlidersAnimated(false);
    EXPECT_EQ(t.view.maskTrailConstraint(), 57);
    EXPECT_EQ(ViewAlpha::alpha(t.view.hideMaskButton()), 1);
    EXPECT_EQ(t.view.drawButton()->geometry().right() + 1, t.view.width() - 57);
    t.view.hideMaskButton()->setState(1);
    t.view.hideMaskButtonClick();
    EXPECT_TRUE(PostProcessesManager::sharedPostProcessesManager().hideMask());
    EXPECT_EQ(t.view.hideMaskButton()->displayedTitle(), "OFF");
    EXPECT_EQ(t.recorder.calls, std::vector<std::string>{"hide mask"});
    PostProcessesManager::sharedPostProcessesManager().setHideMask(false);
    EXPECT_EQ(t.view.hideMaskButton()->displayedTitle(), "ON");
}

TEST(FilterToolbar, ButtonsDisableThemselvesUntilTheEditorEnablesThem) {
    Toolbar t(true, false, false);
    t.view.drawButtonClick();
    t.view.drawButtonClick();
    t.view.applyButtonClick();
    EXPECT_FALSE(t.view.applyButton()->isEnabled());
    EXPECT_FALSE(t.view.cancelButton()->isEnabled());
    EXPECT_EQ(t.recorder.calls, (std::vector<std::string>{"draw", "apply"}));
    t.view.setEnabledStateForButtons(true);
    EXPECT_TRUE(t.view.applyButton()->isEnabled());
}
