// Every look of every registered class, its allocations made to fail one at a time: the run ends
// with "ProcessFailed" and the working image keeps its bytes. No look reports success over a
// substitute picture, lets bad_alloc out, leaks or frees twice (the sanitizer build checks the
// last two).
#include "FailingAllocator.h"

#include "engine/LookRegistry.h"
#include "engine/PostProcess.h"
#include "kernels/Random.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/ParallelRows.h"

#include "support/StubEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// How a run ended, seen by an observer that disarms the hook before it records anything: what the
// test does with the notification must not use up the run's failure.
class RunEnd {
  public:
    RunEnd() {
        for (const char* name : {"EndProcess", "ProcessCancelled", "ProcessFailed"})
            foundation::NotificationCenter::defaultCenter().addObserver(
                this, name, nullptr, [this](const foundation::Notification& n) {
                    FailingAllocator::disarm();
                    if (names.empty()) allocationsBefore = FailingAllocator::count();
                    names.push_back(n.name);
                });
    }
    ~RunEnd() { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
    RunEnd(const RunEnd&) = delete;
    RunEnd& operator=(const RunEnd&) = delete;

    std::vector<std::string> names;
    int64_t allocationsBefore = 0; // counted when the first end was posted
};

const graphics::ImagePtr& picture() {
    static const graphics::ImagePtr image = makeSourceImage(40, 28, patternColour);
    return image;
}

struct Outcome {
    std::vector<std::string> ends;
    int64_t allocations = 0; // up to the post of the run's end
    bool fired = false;
    bool imageKept = false;
};

// One full-size run of a fresh look over a fresh working image, the allocation numbered failAt
// failing. Only the run's own thread is armed; the pass runs there alone, so the numbering is the
// same every time.
Outcome run(const LookClass& c, int32_t type, int64_t failAt) {
    PostProcess::global_clean();
    Outcome out;
    std::unique_ptr<PostProcess> effect = c.make(type, 0);
    effect->prepare(picture());
    if (!PostProcess::global_pre_init(picture())) {
        ADD_FAILURE() << "no working image";
        return out;
    }
    const std::vector<uint8_t> before(
        PostProcess::gp_data, PostProcess::gp_data + size_t(PostProcess::g_bypr) * PostProcess::g_height);
    effect->set_silent_mode(true);
    const Random::Scoped seeded(7);
    {
        RunEnd end;
        FailingAllocator::arm(failAt);
        effect->process();
        FailingAllocator::disarm();
        out.ends = end.names;
        out.allocations = end.allocationsBefore;
        out.fired = FailingAllocator::fired();
    }
    out.imageKept = PostProcess::gp_data && PostProcess::g_width == picture()->width() &&
                    PostProcess::g_height == picture()->height() &&
                    std::equal(before.begin(), before.end(), PostProcess::gp_data);
    effect.reset();
    PostProcess::global_clean();
    return out;
}

// Allocations the post of a run's end makes before its observers hear of it: a run cannot report
// its end without them, so a failure there is not one this test can ask to be reported.
int64_t allocationsOfAnEndPost() {
    RunEnd end;
    FailingAllocator::arm();
    foundation::NotificationCenter::defaultCenter().postNotificationName("EndProcess", int64_t(1));
    FailingAllocator::disarm();
    return end.allocationsBefore;
}

// All of a small run's allocations; a larger one's first few and an even spread of the rest.
std::vector<int64_t> failurePoints(int64_t allocations) {
    constexpr int64_t kAll = 16, kFirst = 6, kSpread = 10;
    std::vector<int64_t> points;
    if (allocations <= kAll) {
        for (int64_t k = 0; k < allocations; ++k)
            points.push_back(k);
        return points;
    }
    for (int64_t k = 0; k < kFirst; ++k)
        points.push_back(k);
    for (int64_t i = 1; i <= kSpread; ++i)
        points.push_back(kFirst + (allocations - 1 - kFirst) * i / kSpread);
    return points;
}

// Runs in a few processes, not one a class: starting the program costs more than most classes'
// runs. Each takes a run of neighbouring classes, in the registry's order.
constexpr int kGroups = 8;

std::vector<const LookClass*> group(int index) {
    const std::vector<LookClass>& all = LookRegistry::classes();
    std::vector<const LookClass*> out;
    for (size_t i = all.size() * size_t(index) / kGroups; i < all.size() * size_t(index + 1) / kGroups; ++i)
        out.push_back(&all[i]);
    return out;
}

class LookAllocationFailure : public testing::TestWithParam<int> {};

TEST_P(LookAllocationFailure, EveryLookFailsItsRunAndKeepsTheWorkingImage) {
    graphics::setParallelThreads(1);
    const int64_t endPost = allocationsOfAnEndPost();
    for (const LookClass* c : group(GetParam())) {
        for (int32_t type = 0; type < c->variants; ++type) {
            SCOPED_TRACE(c->typeName + " " + std::to_string(type));
            // Never firing, the hook changes nothing: the run succeeds, and shows what it allocates.
            // The first run also makes what lives for the whole program (tables, names); the second
            // allocates what every run does.
            run(*c, type, FailingAllocator::kNever);
            const Outcome clean = run(*c, type, FailingAllocator::kNever);
            EXPECT_FALSE(clean.fired);
            const int64_t allocations = clean.allocations - endPost;
            if (clean.ends != std::vector<std::string>{"EndProcess"} || allocations <= 0) {
                ADD_FAILURE() << "the plain run ended with " << testing::PrintToString(clean.ends)
                              << " after " << allocations << " allocations";
                continue;
            }
            for (const int64_t failAt : failurePoints(allocations)) {
                SCOPED_TRACE("allocation " + std::to_string(failAt) + " of " + std::to_string(allocations));
                const Outcome failed = run(*c, type, failAt);
                EXPECT_TRUE(failed.fired && failed.ends == std::vector<std::string>{"ProcessFailed"} &&
                            failed.imageKept)
                    << "fired " << failed.fired << ", ends " << testing::PrintToString(failed.ends)
                    << ", image kept " << failed.imageKept;
            }
        }
    }
    graphics::setParallelThreads(0);
}

INSTANTIATE_TEST_SUITE_P(RegisteredClasses, LookAllocationFailure, testing::Range(0, kGroups),
                         [](const testing::TestParamInfo<int>& info) {
                             const std::vector<const LookClass*> classes = group(info.param);
                             return classes.empty()
                                        ? std::string("None" + std::to_string(info.param))
                                        : classes.front()->typeName + "_to_" + classes.back()->typeName;
                         });

// The hook itself: it counts only while armed, fails exactly the allocation asked for, and the
// nothrow and C forms answer null where operator new throws. Called as functions, not through
// new-expressions the optimiser may drop.
TEST(FailingAllocatorHook, FailsTheNumberedAllocationOnlyWhileArmed) {
    {
        const ArmedAllocator armed;
        void* a = ::operator new(8);
        void* b = ::operator new[](8);
        ::operator delete(a);
        ::operator delete[](b);
        EXPECT_EQ(FailingAllocator::count(), 2);
        EXPECT_FALSE(FailingAllocator::fired());
    }
    {
        const ArmedAllocator armed(1);
        void* first = ::operator new(8);
        EXPECT_THROW(::operator delete(::operator new(8)), std::bad_alloc);
        EXPECT_TRUE(FailingAllocator::fired());
        void* third = ::operator new(8);
        EXPECT_EQ(FailingAllocator::count(), 3);
        ::operator delete(first);
        ::operator delete(third);
    }
    const auto failsFirst = [](const char* form, void* (*allocate)()) {
        void* p = nullptr;
        {
            const ArmedAllocator armed(0);
            p = allocate();
        }
        EXPECT_EQ(p, nullptr) << form;
        std::free(p);
    };
    failsFirst("nothrow new", [] { return ::operator new(8, std::nothrow); });
    failsFirst("malloc", [] { return std::malloc(8); });
    failsFirst("calloc", [] { return std::calloc(2, 8); });
    void* unarmed = std::malloc(8);
    EXPECT_NE(unarmed, nullptr);
    std::free(unarmed);
    EXPECT_EQ(FailingAllocator::count(), 1) << "counted after disarm";
}

} // namespace
