#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace foundation {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* owner, std::string name, const void* sender,
                                     Handler handler) {
    auto r = std::make_shared<Registration>(Registration{owner, std::move(name), sender, std::move(handler)});
    std::lock_guard lock(mutex_);
    registrations_.push_back(std::move(r));
}

template <class Pred> void NotificationCenter::removeWhere(Pred pred) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& r) {
        if (!pred(*r)) return false;
        r->removed = true; // a snapshot being delivered may still hold it
        return true;
    });
}

void NotificationCenter::removeObserver(const void* owner) {
    removeWhere([&](const Registration& r) { return r.owner == owner; });
}

void NotificationCenter::removeObserver(const void* owner, const std::string& name, const void* sender) {
    removeWhere([&](const Registration& r) {
        return r.owner == owner && r.name == name && (sender == nullptr || r.sender == sender);
    });
}

bool NotificationCenter::isRemoved(const Registration& r) {
    std::lock_guard lock(mutex_);
    return r.removed;
}

void NotificationCenter::postNotificationName(const std::string& name, Value object, Value userInfo) {
    postNotification(Notification{name, std::move(object), std::move(userInfo)});
}

void NotificationCenter::postNotification(const Notification& notification) {
    const void* sender = notification.object.identity();
    std::vector<std::shared_ptr<Registration>> snapshot;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_)
            if (r->name == notification.name && (r->sender == nullptr || r->sender == sender))
                snapshot.push_back(r);
    }
    for (const auto& r : snapshot)
        if (!isRemoved(*r)) r->handler(notification);
}

} // namespace foundation
