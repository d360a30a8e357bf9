#include "platform/camera/CameraDevice.h"

#include "platform/camera/CameraSession.h"
#include "platform/camera/CameraWorker.h"

#include <QMetaObject>
#include <deque>
#include <filesystem>

namespace camera {

CameraDevice::CameraDevice(DeviceDescription description)
    : _description(std::move(description)), _worker(std::make_unique<CameraWorker>()) {}

CameraDevice::~CameraDevice() {
    _stopping = true;
    _worker.reset();
    _session.reset();
    for (auto& file : _mediaFiles)
        file->_device = nullptr;
}

void CameraDevice::post(std::function<void()> task) {
    QMetaObject::invokeMethod(&_mainThreadContext, std::move(task), Qt::QueuedConnection);
}

void CameraDevice::requestOpenSession() {
    if (_sessionState != SessionState::kClosed || _removed) return;
    _sessionState = SessionState::kOpening;
    _worker->async([this] {
        CameraError error;
        _session = CameraSession::open(_description, &_stopping, &error);
        bool opened = _session != nullptr;
        post([this, opened, error] {
            _sessionState = opened ? SessionState::kOpen : SessionState::kClosed;
            std::optional<CameraError> failure;
            if (!opened) failure = error;
            if (_delegate) _delegate->didOpenSessionWithError(this, failure);
            if (!opened && _delegate) _delegate->didEncounterError(this, error);
        });
        if (opened) listOnWorker();
    });
}

void CameraDevice::listOnWorker() {
    std::deque<std::string> folders{"/"};
    while (!folders.empty() && !_stopping) {
        std::string folder = folders.front();
        folders.pop_front();
        std::vector<CameraFileEntry> files;
        std::vector<std::string> subfolders;
        CameraError error;
        if (!_session->listFolder(folder, &files, &subfolders, &error)) {
            post([this, error] {
                if (_delegate) _delegate->didEncounterError(this, error);
            });
            return;
        }
        folders.insert(folders.end(), subfolders.begin(), subfolders.end());
        if (!files.empty()) post([this, files = std::move(files)]() mutable { addItems(std::move(files)); });
    }
    post([this] {
        if (_delegate) _delegate->deviceDidBecomeReady(this);
    });
}

void CameraDevice::addItems(std::vector<CameraFileEntry> entries) {
    std::vector<std::shared_ptr<CameraFile>> added;
    for (auto& entry : entries)
        added.push_back(std::make_shared<CameraFile>(this, std::move(entry)));
    _mediaFiles.insert(_mediaFiles.end(), added.begin(), added.end());
    if (_delegate) _delegate->didAddItems(this, added);
}

void CameraDevice::requestCloseSession() {
    if (_sessionState == SessionState::kClosed) return;
    _sessionState = SessionState::kClosed;
    _worker->async([this] {
        _session.reset();
        post([this] {
            _mediaFiles.clear();
            if (_delegate) _delegate->didCloseSessionWithError(this, std::nullopt);
        });
    });
}

void CameraDevice::requestDetails(const std::shared_ptr<CameraFile>& file) {
    std::weak_ptr<CameraFile> weakFile = file;
    CameraFileEntry entry = file->entry();
    _worker->asyncInBackground([this, weakFile, entry] {
        std::optional<CameraFileDetails> details;
        if (_session) details = _session->fileDetails(entry, kThumbnailSize, nullptr);
        post([this, weakFile, details = std::move(details)] {
            auto file = weakFile.lock();
            if (!file) return;
            file->_detailsState = CameraFile::DetailsState::kDone;
            if (details) {
                file->_metadata = details->metadata;
                file->_thumbnail = details->thumbnail;
            }
            if (_delegate) {
                _delegate->didReceiveMetadataForItem(this, file);
                _delegate->didReceiveThumbnailForItem(this, file);
            }
        });
    });
}

void CameraDevice::requestDownloadFile(const std::shared_ptr<CameraFile>& file, DownloadOptions options,
                                       DownloadCompletion completion) {
    CameraFileEntry entry = file->entry();
    _worker->async(
        [this, file, entry, options = std::move(options), completion = std::move(completion)]() mutable {
            std::optional<CameraError> failure;
            if (_session) {
                CameraError error;
                if (auto saved = _session->downloadFile(entry, options.downloadsDirectory, &error)) {
                    options.savedFilename = std::filesystem::path(*saved).filename().string();
                } else {
                    failure = error;
                }
            } else {
                failure = CameraError::withDescription("Could not download \"" + entry.name +
                                                       "\": the camera is not open.");
            }
            post([file, failure, options, completion] {
                if (completion) completion(file, failure, options);
            });
        });
}

void CameraDevice::deviceWasRemoved() {
    if (_removed) return;
    _removed = true;
    _stopping = true;
    if (_delegate) _delegate->didRemoveDevice(this);
}

} // namespace camera
