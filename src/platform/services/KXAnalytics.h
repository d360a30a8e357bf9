#pragma once
// Usage reports of the services framework. Nothing is sent from here: the calls stay so that the
// places that report an event are kept.
#include "platform/foundation/Value.h"

#include <string>
#include <vector>

namespace services {

struct KXAnalytics {
    static void analyticsScope(const std::vector<std::string>& /*scopes*/) {}
    // Keys "screen", "category", "action", "label", "value".
    static void trackEventWithUserInfo(const foundation::Dictionary& /*userInfo*/) {}
};

} // namespace services
