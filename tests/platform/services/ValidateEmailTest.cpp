// The address check behind the welcome window's subscription.
#include "platform/services/KXServiceUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(ValidateEmail, AcceptsPlainAddressesOnly) {
    struct Case {
        const char* address;
        bool valid;
    };
    const Case cases[] = {
        {"a@b.cz", true},   {"first.last@mail.example.org", true},
        {"", false},        {"a@b", false},
        {"@b.cz", false},   {"a@.cz", false},
        {"a@b.cz.", false}, {"a@b..cz", false},
        {"a@@b.cz", false}, {"a b@c.cz", false},
        {" a@b.cz", false}, {"a@b.cz\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(services::KXServiceUtils::validateEmail(c.address), c.valid) << c.address;
    EXPECT_FALSE(services::KXServiceUtils::saveEmailToRemoteDatabase("a@b.cz"));
}

} // namespace
