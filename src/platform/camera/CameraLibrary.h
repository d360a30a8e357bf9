#pragma once
// The process's view of libgphoto2's drivers: their abilities, loaded once (loading every
// driver takes a while, so the first call should come from a worker thread), and detection of
// the devices connected now. Safe to call from any thread.
#include "platform/camera/DeviceDescription.h"

#include <gphoto2/gphoto2-abilities-list.h>

#include <optional>
#include <string>
#include <vector>

namespace camera {

class CameraLibrary {
  public:
    static CameraLibrary& shared();

    // A device of the given model on the given port, typed and with its capabilities; empty when
    // the library knows no such model.
    std::optional<DeviceDescription> describeDevice(const std::string& model, const std::string& port);
    // The driver's description of a model, for opening a camera of it; empty for an unknown model.
    std::optional<CameraAbilities> abilitiesForModel(const std::string& model);
    // The devices the library finds connected now (USB, and mounted cards with a camera folder);
    // empty optional when detection itself failed.
    std::optional<std::vector<DeviceDescription>> detectDevices();

    CameraLibrary(const CameraLibrary&) = delete;
    CameraLibrary& operator=(const CameraLibrary&) = delete;

  private:
    CameraLibrary();
    ~CameraLibrary();
    struct Private;
    Private* d;
};

} // namespace camera
