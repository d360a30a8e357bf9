#pragma once
// Performs after a delay that can be cancelled, keyed by target and selector: perform() runs a
// call on a later pass of Qt's event loop (even with no delay), and cancelPreviousPerformRequests
// drops every pending call of a target, or only those of one selector. Calls due at the same time
// run in the order they were asked for. Main (GUI) thread only; a QApplication must exist.
//
// A QObject target's pending calls are dropped when it is destroyed. Any other target cancels its
// own performs before it goes away.
#include <functional>
#include <string>

class QObject;

namespace appkit {

class DeferredCall {
  public:
    static void perform(const QObject* target, const std::string& selector, double seconds,
                        std::function<void()> call);
    static void perform(const void* target, const std::string& selector, double seconds,
                        std::function<void()> call);

    static void cancelPreviousPerformRequests(const void* target);
    static void cancelPreviousPerformRequests(const void* target, const std::string& selector);

    // Pending calls of a target (or of one of its selectors): for tests and assertions.
    static int pendingCount(const void* target);
    static int pendingCount(const void* target, const std::string& selector);

    // A QObject target is keyed by its QObject part, whichever base comes first in its class.
    static void cancelPreviousPerformRequests(const QObject* target) {
        cancelPreviousPerformRequests(static_cast<const void*>(target));
    }
    static void cancelPreviousPerformRequests(const QObject* target, const std::string& selector) {
        cancelPreviousPerformRequests(static_cast<const void*>(target), selector);
    }
    static int pendingCount(const QObject* target) { return pendingCount(static_cast<const void*>(target)); }
    static int pendingCount(const QObject* target, const std::string& selector) {
        return pendingCount(static_cast<const void*>(target), selector);
    }
};

} // namespace appkit
