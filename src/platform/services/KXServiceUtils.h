#pragma once

// What the engine asks of its environment. The user interface sets the screen scale once at start
// (Qt's device pixel ratio); until then the answers are 1.0 and not retina. Safe from any thread.

namespace services {

class KXServiceUtils {
  public:
    static bool isRetina();
    static double backingScaleFactor();
    // Called by the user interface; values that are not finite and positive are ignored.
    static void setBackingScaleFactor(double scale);
    // A fixed, modern version: callers that compare it with 10.8 take their newer branch.
    static float systemVersion();
};

} // namespace services
