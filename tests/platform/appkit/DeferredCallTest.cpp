#include "platform/appkit/DeferredCall.h"

#include "support/EventLoop.h"
#include "support/UiApplication.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using appkit::DeferredCall;

namespace {

class DeferredCallTest : public ::testing::Test {
  protected:
    QApplication& app = uiApplication();
    std::vector<std::string> ran;
    int targetA = 0, targetB = 0; // only their addresses serve as targets

    std::function<void()> record(std::string name) {
        return [this, name] { ran.push_back(name); };
    }
    void TearDown() override {
        DeferredCall::cancelPreviousPerformRequests(&targetA);
        DeferredCall::cancelPreviousPerformRequests(&targetB);
    }
};

} // namespace

TEST_F(DeferredCallTest, RunsOnALaterPassEvenWithoutDelay) {
    DeferredCall::perform(&targetA, "update", 0, record("update"));
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(DeferredCall::pendingCount(&targetA), 1);
    EXPECT_TRUE(runEventLoopUntil([&] { return !ran.empty(); }, 2));
    EXPECT_EQ(DeferredCall::pendingCount(&targetA), 0);
}

TEST_F(DeferredCallTest, RunsInOrderOfDueTimeThenOfRequest) {
    DeferredCall::perform(&targetA, "late", 0.06, record("late"));
    DeferredCall::perform(&targetA, "first", 0.02, record("first"));
    DeferredCall::perform(&targetB, "second", 0.02, record("second"));
    DeferredCall::perform(&targetA, "third", 0.02, record("third"));
    DeferredCall::perform(&targetA, "now", 0, record("now"));
    // Negative and not-a-number delays count as none.
    DeferredCall::perform(&targetB, "negative", -3, record("negative"));
    DeferredCall::perform(&targetB, "nan", std::nan(""), record("nan"));
    ASSERT_TRUE(runEventLoopUntil([&] { return ran.size() == 7; }, 3));
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "negative", "nan", "first", "second", "third", "late"}));
}

TEST_F(DeferredCallTest, CancellingATargetDropsAllItsPerformsAndNoOtherTargets) {
    DeferredCall::perform(&targetA, "x", 0.01, record("a.x"));
    DeferredCall::perform(&targetA, "y", 0, record("a.y"));
    DeferredCall::perform(&targetB, "x", 0.01, record("b.x"));
    DeferredCall::cancelPreviousPerformRequests(&targetA);
    EXPECT_EQ(DeferredCall::pendingCount(&targetA), 0);
    runEventLoopFor(0.08);
    EXPECT_EQ(ran, std::vector<std::string>{"b.x"});
}

TEST_F(DeferredCallTest, CancellingASelectorDropsOnlyItsPerformsOfThatTarget) {
    DeferredCall::perform(&targetA, "x", 0.01, record("a.x 1"));
    DeferredCall::perform(&targetA, "x", 0.02, record("a.x 2"));
    DeferredCall::perform(&targetA, "y", 0.01, record("a.y"));
    DeferredCall::perform(&targetB, "x", 0.01, record("b.x"));
    EXPECT_EQ(DeferredCall::pendingCount(&targetA, "x"), 2);
    DeferredCall::cancelPreviousPerformRequests(&targetA, "x");
    EXPECT_EQ(DeferredCall::pendingCount(&targetA, "x"), 0);
    EXPECT_EQ(DeferredCall::pendingCount(&targetA, "y"), 1);
    runEventLoopFor(0.08);
    EXPECT_EQ(ran, (std::vector<std::string>{"a.y", "b.x"}));
}

// The usual pattern: cancel, then perform again, so only the last request of a burst runs.
TEST_F(DeferredCallTest, CancelThenPerformKeepsOnlyTheLastOfABurst) {
    for (int i = 0; i < 5; ++i) {
        DeferredCall::cancelPreviousPerformRequests(&targetA, "updateCropFields");
        DeferredCall::perform(&targetA, "updateCropFields", 0.01, record("update " + std::to_string(i)));
    }
    runEventLoopFor(0.08);
    EXPECT_EQ(ran, std::vector<std::string>{"update 4"});
}

TEST_F(DeferredCallTest, ACallMayCancelAnotherDueAtTheSameTimeOrPerformAgain) {
    DeferredCall::perform(&targetA, "first", 0.01, [&] {
        ran.push_back("first");
        DeferredCall::cancelPreviousPerformRequests(&targetB);
        DeferredCall::perform(&targetA, "again", 0, record("again"));
    });
    DeferredCall::perform(&targetB, "second", 0.01, record("second"));
    runEventLoopFor(0.08);
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "again"}));
}

TEST_F(DeferredCallTest, ACancelledCallIsReleasedAtOnce) {
    auto held = std::make_shared<int>(7);
    DeferredCall::perform(&targetA, "x", 1, [held] {});
    EXPECT_EQ(held.use_count(), 2);
    DeferredCall::cancelPreviousPerformRequests(&targetA, "x");
    EXPECT_EQ(held.use_count(), 1);
}

TEST_F(DeferredCallTest, ADestroyedQObjectTargetLosesItsPerforms) {
    auto target = std::make_unique<QObject>();
    QObject* raw = target.get();
    DeferredCall::perform(raw, "x", 0, [&, raw] { ran.push_back(raw->objectName().toStdString()); });
    EXPECT_EQ(DeferredCall::pendingCount(raw), 1);
    target.reset();
    EXPECT_EQ(DeferredCall::pendingCount(raw), 0);
    runEventLoopFor(0.03);
    EXPECT_TRUE(ran.empty());
}

namespace {

struct SomeDelegate {
    virtual ~SomeDelegate() = default;
    virtual void changed() {}
};

// QObject is not the first base: its part sits at another address than the object's.
class Controller : public SomeDelegate, public QObject {};

} // namespace

TEST_F(DeferredCallTest, AQObjectTargetIsTheSameKeyWhicheverBaseComesFirst) {
    Controller controller;
    ASSERT_NE(static_cast<const void*>(&controller),
              static_cast<const void*>(static_cast<QObject*>(&controller)));
    DeferredCall::perform(&controller, "x", 0, record("x"));
    EXPECT_EQ(DeferredCall::pendingCount(&controller), 1);
    DeferredCall::cancelPreviousPerformRequests(&controller, "x");
    EXPECT_EQ(DeferredCall::pendingCount(&controller), 0);
    runEventLoopFor(0.03);
    EXPECT_TRUE(ran.empty());
}
