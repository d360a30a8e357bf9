#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using foundation::Notification;
using foundation::NotificationCenter;
using foundation::Value;

namespace {

struct Sender {
    int unused = 0;
};

} // namespace

TEST(NotificationCenter, DeliversInRegistrationOrderOnThePostingThread) {
    NotificationCenter center;
    std::vector<std::string> calls;
    std::vector<std::thread::id> threads;
    int owner = 0;
    for (const char* tag : {"a", "b", "c"})
        center.addObserver(&owner, "Ping", nullptr, [&, tag](const Notification& n) {
            calls.push_back(std::string(tag) + ":" + n.name);
            threads.push_back(std::this_thread::get_id());
        });
    center.addObserver(&owner, "Other", nullptr, [&](const Notification&) { calls.push_back("other"); });

    std::thread::id poster;
    std::thread worker([&] {
        poster = std::this_thread::get_id();
        center.postNotificationName("Ping");
    });
    worker.join();

    EXPECT_EQ(calls, (std::vector<std::string>{"a:Ping", "b:Ping", "c:Ping"}));
    ASSERT_EQ(threads.size(), 3u);
    for (auto id : threads)
        EXPECT_EQ(id, poster);
}

TEST(NotificationCenter, FiltersBySenderIdentity) {
    Sender x, y;
    struct Case {
        const char* label;
        Value object;
        bool forX;
        bool forAny;
    };
    const Case cases[] = {
        {"sender x", Value::reference(&x, "Sender"), true, true},
        {"sender y", Value::reference(&y, "Sender"), false, true},
        {"no sender", Value(), false, true},
        {"number", Value(42), false, true},
    };
    for (const Case& c : cases) {
        NotificationCenter center;
        int owner = 0;
        bool gotX = false, gotAny = false;
        center.addObserver(&owner, "N", &x, [&](const Notification&) { gotX = true; });
        center.addObserver(&owner, "N", nullptr, [&](const Notification&) { gotAny = true; });
        center.postNotificationName("N", c.object);
        EXPECT_EQ(gotX, c.forX) << c.label;
        EXPECT_EQ(gotAny, c.forAny) << c.label;
    }
}

TEST(NotificationCenter, CarriesObjectAndUserInfo) {
    NotificationCenter center;
    int owner = 0;
    Notification seen;
    center.addObserver(&owner, "progressChanged", nullptr, [&](const Notification& n) { seen = n; });
    center.postNotificationName("progressChanged", Value(37),
                                Value(foundation::Dictionary{{"k", Value("v")}}));
    EXPECT_EQ(seen.name, "progressChanged");
    EXPECT_EQ(seen.object.getInt64(), 37);
    ASSERT_NE(seen.userInfo.find("k"), nullptr);
    EXPECT_EQ(*seen.userInfo.find("k")->getString(), "v");
}

TEST(NotificationCenter, ObserversChangedDuringDeliveryFollowTheSnapshot) {
    NotificationCenter center;
    int first = 0, second = 0, late = 0;
    std::vector<std::string> calls;
    center.addObserver(&first, "N", nullptr, [&](const Notification&) {
        calls.push_back("first");
        center.removeObserver(&second);
        center.addObserver(&late, "N", nullptr, [&](const Notification&) { calls.push_back("late"); });
    });
    center.addObserver(&second, "N", nullptr, [&](const Notification&) { calls.push_back("second"); });

    center.postNotificationName("N");
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));

    calls.clear();
    center.removeObserver(&first);
    center.postNotificationName("N");
    EXPECT_EQ(calls, (std::vector<std::string>{"late"}));
}

TEST(NotificationCenter, ObserverMayRemoveItselfDuringDelivery) {
    NotificationCenter center;
    int owner = 0, count = 0;
    center.addObserver(&owner, "N", nullptr, [&](const Notification&) {
        ++count;
        center.removeObserver(&owner);
    });
    center.postNotificationName("N");
    center.postNotificationName("N");
    EXPECT_EQ(count, 1);
}

TEST(NotificationCenter, DuplicateRegistrationsDeliverTwice) {
    NotificationCenter center;
    int owner = 0, count = 0;
    auto handler = [&](const Notification&) { ++count; };
    center.addObserver(&owner, "N", nullptr, handler);
    center.addObserver(&owner, "N", nullptr, handler);
    center.postNotificationName("N");
    EXPECT_EQ(count, 2);
}

TEST(NotificationCenter, RemovesByOwnerNameAndSender) {
    Sender x, y;
    int owner = 0, other = 0;
    auto setUp = [&](NotificationCenter& center, std::vector<std::string>& calls) {
        center.addObserver(&owner, "a", &x, [&](const Notification&) { calls.push_back("a/x"); });
        center.addObserver(&owner, "a", &y, [&](const Notification&) { calls.push_back("a/y"); });
        center.addObserver(&owner, "b", nullptr, [&](const Notification&) { calls.push_back("b"); });
        center.addObserver(&other, "a", nullptr, [&](const Notification&) { calls.push_back("other a"); });
    };
    auto postAll = [&](NotificationCenter& center) {
        center.postNotificationName("a", Value::reference(&x, "Sender"));
        center.postNotificationName("a", Value::reference(&y, "Sender"));
        center.postNotificationName("b");
    };
    struct Case {
        const char* label;
        std::function<void(NotificationCenter&)> remove;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"name and sender",
         [&](NotificationCenter& c) { c.removeObserver(&owner, "a", &x); },
         {"other a", "a/y", "other a", "b"}},
        {"name from any sender",
         [&](NotificationCenter& c) { c.removeObserver(&owner, "a", nullptr); },
         {"other a", "other a", "b"}},
        {"whole owner", [&](NotificationCenter& c) { c.removeObserver(&owner); }, {"other a", "other a"}},
    };
    for (const Case& c : cases) {
        NotificationCenter center;
        std::vector<std::string> calls;
        setUp(center, calls);
        c.remove(center);
        postAll(center);
        EXPECT_EQ(calls, c.expected) << c.label;
    }
}
