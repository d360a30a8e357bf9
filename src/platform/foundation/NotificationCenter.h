#pragma once

// Named notifications delivered synchronously on the posting thread, in registration order.
// Delivery walks a snapshot of the observers, so a handler may add or remove observers; one that
// is removed while a notification is being delivered is not called afterwards. Registering the same
// handler twice delivers twice. Safe to use from any thread.

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace foundation {

struct Notification {
    std::string name;
    Value object;   // the sender (observers filter on its identity), a number, or null
    Value userInfo; // a dictionary or null
};

class NotificationCenter {
  public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // owner is the token for removal. A null sender observes the name from any sender; otherwise
    // only notifications whose object is that very object (pointer identity).
    void addObserver(const void* owner, std::string name, const void* sender, Handler handler);

    // Removes every registration of owner.
    void removeObserver(const void* owner);
    // Removes owner's registrations of name; a null sender matches registrations of any sender.
    void removeObserver(const void* owner, const std::string& name, const void* sender);

    void postNotificationName(const std::string& name, Value object = {}, Value userInfo = {});
    void postNotification(const Notification& notification);

  private:
    struct Registration {
        const void* owner;
        std::string name;
        const void* sender;
        Handler handler;
        bool removed = false; // guarded by mutex_
    };

    template <class Pred> void removeWhere(Pred pred);
    bool isRemoved(const Registration& r);

    std::mutex mutex_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};

} // namespace foundation
