#include "engine/RenderRunState.h"

#include <gtest/gtest.h>

namespace {

using State = RenderRunState::State;

constexpr State kAll[] = {State::Idle,     State::Thumbnail,    State::PresetThumbnail,
                          State::Render,   State::PresetRender, State::FramePass,
                          State::Finished, State::Failed,       State::Cancelled};
constexpr State kRests[] = {State::Idle, State::Finished, State::Failed, State::Cancelled};
constexpr State kStarts[] = {State::Thumbnail, State::PresetThumbnail, State::Render, State::PresetRender,
                             State::FramePass};
constexpr State kEnds[] = {State::Finished, State::Failed, State::Cancelled};

bool contains(std::initializer_list<State> list, State s) {
    for (State x : list)
        if (x == s) return true;
    return false;
}

// Every pair against the table the class states: a start only from rest, an end only from a
// start, the frame pass also after a main run; nothing else, Idle never again.
TEST(RenderRunState, AllowsExactlyTheTransitionsOfItsTable) {
    for (State from : kAll)
        for (State to : kAll) {
            SCOPED_TRACE(testing::Message() << int(from) << " -> " << int(to));
            bool expected = false;
            if (contains({kRests[0], kRests[1], kRests[2], kRests[3]}, from))
                expected = contains({kStarts[0], kStarts[1], kStarts[2], kStarts[3], kStarts[4]}, to);
            else
                expected = contains({kEnds[0], kEnds[1], kEnds[2]}, to) ||
                           (to == State::FramePass && (from == State::Render || from == State::PresetRender));
            EXPECT_EQ(RenderRunState::allowed(from, to), expected);
        }
}

TEST(RenderRunState, ARefusedTransitionLeavesTheStateAsItWas) {
    RenderRunState run;
    EXPECT_FALSE(run.running());
    EXPECT_FALSE(run.moveTo(State::Finished));
    EXPECT_TRUE(run.is(State::Idle));

    ASSERT_TRUE(run.moveTo(State::PresetRender));
    EXPECT_TRUE(run.running());
    EXPECT_TRUE(run.presetChain());
    EXPECT_FALSE(run.moveTo(State::Render));
    EXPECT_TRUE(run.is(State::PresetRender));

    ASSERT_TRUE(run.moveTo(State::FramePass));
    EXPECT_FALSE(run.presetChain());
    ASSERT_TRUE(run.moveTo(State::Cancelled));
    EXPECT_FALSE(run.moveTo(State::Cancelled)); // an end comes once
    EXPECT_FALSE(run.moveTo(State::Failed));
    EXPECT_TRUE(run.is(State::Cancelled));
    EXPECT_FALSE(run.running());
}

} // namespace
