#pragma once
// What the browser knows of a connected device before any session: its model and port (which
// together identify it), its kind and location as type bits, and what it can do.
#include <cstdint>
#include <string>

namespace camera {

// Type bits: the low byte says the kind of device, the high byte where it is.
inline constexpr uint32_t kDeviceTypeCamera = 0x00000001;
inline constexpr uint32_t kDeviceTypeScanner = 0x00000002;
inline constexpr uint32_t kDeviceTypeMask = 0x000000FF;
inline constexpr uint32_t kDeviceLocationTypeLocal = 0x00000100;
inline constexpr uint32_t kDeviceLocationTypeMask = 0x0000FF00;

// Capability bits.
inline constexpr uint32_t kCameraDeviceCanTakePicture = 1u << 0;
inline constexpr uint32_t kCameraDeviceCanDeleteOneFile = 1u << 1;
inline constexpr uint32_t kCameraDeviceCanDeleteAllFiles = 1u << 2;
inline constexpr uint32_t kCameraDeviceCanSyncClock = 1u << 3;
inline constexpr uint32_t kCameraDeviceCanReceiveFile = 1u << 4;
inline constexpr uint32_t kDeviceCanEjectOrDisconnect = 1u << 5;

struct DeviceDescription {
    std::string model; // the library's model name ("Directory Browse" for a folder)
    std::string port;  // the library's port path ("usb:001,004", "disk:/media/card")
    uint32_t type = 0;
    uint32_t capabilities = 0;

    // Two descriptions name the same device when model and port agree.
    bool sameDevice(const DeviceDescription& other) const {
        return model == other.model && port == other.port;
    }
};

} // namespace camera
