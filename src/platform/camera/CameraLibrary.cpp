#include "platform/camera/CameraLibrary.h"

#include <gphoto2/gphoto2.h>

#include <mutex>

namespace camera {

struct CameraLibrary::Private {
    std::mutex mutex;
    GPContext* context = nullptr;
    CameraAbilitiesList* abilities = nullptr;
};

namespace {

DeviceDescription describe(const CameraAbilities& abilities, const std::string& port) {
    DeviceDescription description;
    description.model = abilities.model;
    description.port = port;
    description.type = kDeviceLocationTypeLocal;
    if (abilities.device_type == GP_DEVICE_STILL_CAMERA) description.type |= kDeviceTypeCamera;
    if (abilities.operations & GP_OPERATION_CAPTURE_IMAGE)
        description.capabilities |= kCameraDeviceCanTakePicture;
    if (abilities.file_operations & GP_FILE_OPERATION_DELETE)
        description.capabilities |= kCameraDeviceCanDeleteOneFile;
    if (abilities.folder_operations & GP_FOLDER_OPERATION_DELETE_ALL)
        description.capabilities |= kCameraDeviceCanDeleteAllFiles;
    if (abilities.folder_operations & GP_FOLDER_OPERATION_PUT_FILE)
        description.capabilities |= kCameraDeviceCanReceiveFile;
    return description;
}

} // namespace

CameraLibrary& CameraLibrary::shared() {
    static CameraLibrary* library = new CameraLibrary; // drivers stay loaded for the process
    return *library;
}

CameraLibrary::CameraLibrary() : d(new Private) {
    d->context = gp_context_new();
    gp_abilities_list_new(&d->abilities);
    gp_abilities_list_load(d->abilities, d->context);
}

CameraLibrary::~CameraLibrary() {
    gp_abilities_list_free(d->abilities);
    gp_context_unref(d->context);
    delete d;
}

std::optional<CameraAbilities> CameraLibrary::abilitiesForModel(const std::string& model) {
    std::lock_guard lock(d->mutex);
    int index = gp_abilities_list_lookup_model(d->abilities, model.c_str());
    CameraAbilities abilities;
    if (index < 0 || gp_abilities_list_get_abilities(d->abilities, index, &abilities) < GP_OK)
        return std::nullopt;
    return abilities;
}

std::optional<DeviceDescription> CameraLibrary::describeDevice(const std::string& model,
                                                               const std::string& port) {
    std::optional<CameraAbilities> abilities = abilitiesForModel(model);
    if (!abilities) return std::nullopt;
    return describe(*abilities, port);
}

std::optional<std::vector<DeviceDescription>> CameraLibrary::detectDevices() {
    std::lock_guard lock(d->mutex);
    std::optional<std::vector<DeviceDescription>> devices;
    GPPortInfoList* ports = nullptr;
    CameraList* found = nullptr;
    // The port list is read afresh each time: cards mounted since the last call appear in it.
    if (gp_port_info_list_new(&ports) == GP_OK && gp_port_info_list_load(ports) >= GP_OK &&
        gp_list_new(&found) == GP_OK &&
        gp_abilities_list_detect(d->abilities, ports, found, d->context) >= GP_OK) {
        devices.emplace();
        for (int i = 0; i < gp_list_count(found); ++i) {
            const char* model = nullptr;
            const char* port = nullptr;
            if (gp_list_get_name(found, i, &model) < GP_OK || gp_list_get_value(found, i, &port) < GP_OK)
                continue;
            int index = gp_abilities_list_lookup_model(d->abilities, model);
            CameraAbilities abilities;
            if (index < 0 || gp_abilities_list_get_abilities(d->abilities, index, &abilities) < GP_OK)
                continue;
            devices->push_back(describe(abilities, port));
        }
    }
    if (found) gp_list_free(found);
    if (ports) gp_port_info_list_free(ports);
    return devices;
}

} // namespace camera
