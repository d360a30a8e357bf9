#pragma once

#include <string>

// What the engine asks of its environment. The user interface sets the screen scale once at start
// (Qt's device pixel ratio); until then the answers are 1.0 and not retina. Safe from any thread.

namespace services {

class KXServiceUtils {
  public:
    static bool isRetina();
    // The screen of the window that shows the editor: the scale set above follows it.
    static bool parentScreenIsRetina() { return isRetina(); }
    static double backingScaleFactor();
    // Called by the user interface; values that are not finite and positive are ignored.
    static void setBackingScaleFactor(double scale);
    // A fixed, modern version: callers that compare it with 10.8 take their newer branch.
    static float systemVersion();
    // -1, 0 or 1 for the running system's version against a dotted version string.
    static int currentVersionCompare(const std::string& version);
    // Dotted versions compared number by number ("1.10" is above "1.9"); a missing number is 0.
    static int compareVersions(const std::string& a, const std::string& b);
    // A plausible e-mail address: one "@" between a non-empty name and a dotted domain, no blanks.
    static bool validateEmail(const std::string& address);
    // Adds the address to the maker's mailing list. There is no such list here: always false.
    // Blocks while it works, so callers run it off the main thread.
    static bool saveEmailToRemoteDatabase(const std::string& address);
    // The maker's services are not reached from here, so the program behaves as when offline.
    static bool connectedToNetwork() { return false; }
    // Tells the maker that the program ran: nothing to tell here.
    static void reportAsRun() {}
    // Type 0, a preset name: valid UTF-8 of fewer than 32 characters without control characters
    // (the empty text included: callers report it on their own). Other types accept any valid UTF-8.
    static bool isTextFieldStringValid(const std::string& text, int type);
};

} // namespace services
