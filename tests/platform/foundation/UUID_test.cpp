#include "platform/foundation/UUID.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Upper-case 8-4-4-4-12 hex groups, version nibble 4, variant 8 to B.
bool hasVersion4Form(const std::string& id) {
    if (id.size() != 36) return false;
    for (size_t i = 0; i < id.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        char c = id[i];
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return id[14] == '4' && std::string("89AB").find(id[19]) != std::string::npos;
}

} // namespace

TEST(UUID, IsUpperCaseVersion4AndFresh) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string id = foundation::makeUUIDString();
        EXPECT_TRUE(hasVersion4Form(id)) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 1000u);
}
