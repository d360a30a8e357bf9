#include "engine/PostProcessesManagerDelegate.h"

#include "engine/PostProcess.h"
#include "platform/foundation/UserDefaults.h"

#include <optional>
#include <string>

bool validatePreviewQualityParametr() {
    foundation::UserDefaults& defaults = foundation::UserDefaults::standardUserDefaults();
    std::optional<std::string> quality = defaults.stringForKey("k_Preview_Quality");
    if (!defaults.objectForKey("k_Preview_Quality")) {
        defaults.setObject("High", "k_Preview_Quality");
        quality = "High";
    }
    const int32_t before = PostProcess::g_preview_quality;
    if (quality == "Low")
        PostProcess::g_preview_quality = 0;
    else if (quality == "Normal")
        PostProcess::g_preview_quality = 1;
    else if (quality == "High")
        PostProcess::g_preview_quality = 2;
    return PostProcess::g_preview_quality != before;
}
