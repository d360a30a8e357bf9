#include "platform/camera/DeviceBrowser.h"

#include "platform/camera/CameraLibrary.h"
#include "platform/foundation/Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>

namespace camera {

DeviceBrowser::DeviceBrowser(Detector detector) : _detector(std::move(detector)) {
    if (!_detector) _detector = [] { return CameraLibrary::shared().detectDevices(); };
}

DeviceBrowser::~DeviceBrowser() {
    stop();
}

void DeviceBrowser::start() {
    if (_thread) return;
    {
        std::lock_guard lock(_mutex);
        _stopping = false;
    }
    const double interval = _pollInterval;
    _thread = std::make_unique<foundation::Thread>([this, interval] {
        std::unique_lock lock(_mutex);
        while (!_stopping) {
            lock.unlock();
            if (std::optional<std::vector<DeviceDescription>> found = _detector()) {
                QMetaObject::invokeMethod(
                    &_mainThreadContext, [this, found = *found] { update(found); }, Qt::QueuedConnection);
            }
            lock.lock();
            _wake.wait_for(lock, std::chrono::duration<double>(interval), [this] { return _stopping; });
        }
    });
}

void DeviceBrowser::stop() {
    if (!_thread) return;
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    _wake.notify_all();
    _thread->join();
    _thread.reset();
    // Scans still queued for the main thread would report devices after the stop.
    QCoreApplication::removePostedEvents(&_mainThreadContext);
}

bool DeviceBrowser::isBrowsed(const DeviceDescription& description) const {
    return (description.type & _mask & kDeviceTypeMask) &&
           (description.type & _mask & kDeviceLocationTypeMask);
}

void DeviceBrowser::update(const std::vector<DeviceDescription>& found) {
    std::vector<DeviceDescription> browsed;
    for (const auto& description : found) {
        if (isBrowsed(description)) browsed.push_back(description);
    }
    std::vector<std::shared_ptr<CameraDevice>> gone;
    for (const auto& device : _devices) {
        bool present = false;
        for (const auto& description : browsed)
            present = present || description.sameDevice(device->description());
        if (!present) gone.push_back(device);
    }
    std::vector<std::shared_ptr<CameraDevice>> added;
    for (const auto& description : browsed) {
        bool known = false;
        for (const auto& device : _devices)
            known = known || description.sameDevice(device->description());
        for (const auto& device : added)
            known = known || description.sameDevice(device->description());
        if (!known) added.push_back(std::make_shared<CameraDevice>(description));
    }
    for (size_t i = 0; i < gone.size(); ++i) {
        std::erase(_devices, gone[i]);
        gone[i]->deviceWasRemoved();
        if (_delegate) _delegate->didRemoveDevice(this, gone[i], i + 1 < gone.size());
    }
    for (size_t i = 0; i < added.size(); ++i) {
        _devices.push_back(added[i]);
        if (_delegate) _delegate->didAddDevice(this, added[i], i + 1 < added.size());
    }
}

} // namespace camera
