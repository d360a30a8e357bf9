#include "platform/services/ApplicationSupportDirectory.h"

#include "platform/foundation/FileLocations.h"

namespace services {

std::string applicationSupportDirectory() {
    return foundation::applicationSupportDirectory();
}

} // namespace services
