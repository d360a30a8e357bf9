#include "platform/camera/CameraSession.h"

#include "platform/camera/CameraLibrary.h"
#include "platform/imageio/ImageSource.h"

#include <gphoto2/gphoto2.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace camera {

struct CameraSession::Handles {
    GPContext* context = nullptr;
    Camera* camera = nullptr;
    GPPortInfoList* ports = nullptr;
    const std::atomic<bool>* cancelled = nullptr;

    ~Handles() {
        if (camera) {
            gp_camera_exit(camera, context);
            gp_camera_free(camera);
        }
        if (ports) gp_port_info_list_free(ports);
        if (context) gp_context_unref(context);
    }
};

namespace {

GPContextFeedback cancelFeedback(GPContext*, void* data) {
    auto* cancelled = static_cast<const std::atomic<bool>*>(data);
    return cancelled && cancelled->load() ? GP_CONTEXT_FEEDBACK_CANCEL : GP_CONTEXT_FEEDBACK_OK;
}

std::string joinFolder(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string extensionOf(const std::string& name) {
    std::string extension = fs::path(name).extension().string();
    return extension.size() <= 8 ? extension : std::string();
}

// A fresh empty file of our own in the system's temporary folder, keeping the extension so
// decoders that go by it still recognise the picture.
std::string makeScratchFile(const std::string& extension) {
    std::string pattern = (fs::temp_directory_path() / ("opalene-camera-XXXXXX" + extension)).string();
    int fd = mkstemps(pattern.data(), static_cast<int>(extension.size()));
    if (fd < 0) return {};
    close(fd);
    return pattern;
}

struct ScratchFile {
    std::string path;
    ~ScratchFile() {
        if (!path.empty()) unlink(path.c_str());
    }
};

// Moves `from` to `to` unless `to` exists. Answers 0, or errno (EEXIST when taken).
int renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the flag: a hard link fails as well when the name is taken.
    if (link(from.c_str(), to.c_str()) != 0) return errno;
    unlink(from.c_str());
    return 0;
}

} // namespace

std::string CameraSession::safeFileName(const std::string& cameraName) {
    std::string name = cameraName;
    if (auto slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
    std::string clean;
    for (char c : name)
        clean += (c == '\0') ? '_' : c;
    if (clean.empty() || clean == "." || clean == "..") clean = "download";
    return clean;
}

std::unique_ptr<CameraSession> CameraSession::open(const DeviceDescription& device,
                                                   const std::atomic<bool>* cancelled, CameraError* error) {
    std::unique_ptr<CameraSession> session(new CameraSession);
    session->h = std::make_unique<Handles>();
    Handles& h = *session->h;
    h.cancelled = cancelled;
    h.context = gp_context_new();
    gp_context_set_cancel_func(h.context, cancelFeedback, const_cast<std::atomic<bool>*>(cancelled));

    const std::string action = "open the camera";
    auto fail = [&](int result) {
        if (error) *error = CameraError::fromResult(result, action);
        return nullptr;
    };
    std::optional<CameraAbilities> abilities = CameraLibrary::shared().abilitiesForModel(device.model);
    if (!abilities) return fail(GP_ERROR_MODEL_NOT_FOUND);

    int result = gp_port_info_list_new(&h.ports);
    if (result >= GP_OK) result = gp_port_info_list_load(h.ports);
    if (result < GP_OK) return fail(result);
    int port = gp_port_info_list_lookup_path(h.ports, device.port.c_str());
    if (port < GP_OK) return fail(port);
    GPPortInfo portInfo;
    if ((result = gp_port_info_list_get_info(h.ports, port, &portInfo)) < GP_OK) return fail(result);

    if ((result = gp_camera_new(&h.camera)) < GP_OK) return fail(result);
    if ((result = gp_camera_set_abilities(h.camera, *abilities)) < GP_OK) return fail(result);
    if ((result = gp_camera_set_port_info(h.camera, portInfo)) < GP_OK) return fail(result);
    if ((result = gp_camera_init(h.camera, h.context)) < GP_OK) {
        gp_camera_free(h.camera); // never initialised: nothing to exit
        h.camera = nullptr;
        return fail(result);
    }
    return session;
}

CameraSession::~CameraSession() = default;

bool CameraSession::listFolder(const std::string& folder, std::vector<CameraFileEntry>* files,
                               std::vector<std::string>* folders, CameraError* error) {
    CameraList* list = nullptr;
    int result = gp_list_new(&list);
    if (result >= GP_OK) result = gp_camera_folder_list_files(h->camera, folder.c_str(), list, h->context);
    for (int i = 0; result >= GP_OK && i < gp_list_count(list); ++i) {
        const char* name = nullptr;
        if (gp_list_get_name(list, i, &name) < GP_OK || !name) continue;
        CameraFileEntry entry{folder, name};
        CameraFileInfo info;
        if (gp_camera_file_get_info(h->camera, folder.c_str(), name, &info, h->context) >= GP_OK) {
            if (info.file.fields & GP_FILE_INFO_SIZE) entry.size = info.file.size;
            if (info.file.fields & GP_FILE_INFO_PERMISSIONS)
                entry.locked = !(info.file.permissions & GP_FILE_PERM_DELETE);
            if (info.file.fields & GP_FILE_INFO_MTIME) entry.modificationDate = info.file.mtime;
        }
        files->push_back(std::move(entry));
    }
    if (result >= GP_OK) {
        gp_list_reset(list);
        result = gp_camera_folder_list_folders(h->camera, folder.c_str(), list, h->context);
        for (int i = 0; result >= GP_OK && i < gp_list_count(list); ++i) {
            const char* name = nullptr;
            if (gp_list_get_name(list, i, &name) >= GP_OK && name)
                folders->push_back(joinFolder(folder, name));
        }
    }
    if (list) gp_list_free(list);
    if (result < GP_OK && error) *error = CameraError::fromResult(result, "list the files on the camera");
    return result >= GP_OK;
}

bool CameraSession::fetchToPath(const CameraFileEntry& file, int type, const std::string& path, int* result) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        *result = GP_ERROR_OS_FAILURE;
        return false;
    }
    CameraFile* target = nullptr;
    *result = gp_file_new_from_fd(&target, fd); // the library's file closes the descriptor when freed
    if (*result < GP_OK) {
        close(fd);
        return false;
    }
    *result = gp_camera_file_get(h->camera, file.folder.c_str(), file.name.c_str(),
                                 static_cast<CameraFileType>(type), target, h->context);
    gp_file_free(target);
    return *result >= GP_OK;
}

std::optional<CameraFileDetails> CameraSession::fileDetails(const CameraFileEntry& file, int thumbnailSize,
                                                            CameraError* error) {
    const std::string extension = extensionOf(file.name);
    ScratchFile whole{makeScratchFile(extension)};
    ScratchFile preview{makeScratchFile(".jpg")};
    if (whole.path.empty() || preview.path.empty()) {
        if (error) *error = CameraError::withDescription("Could not make a temporary file.");
        return std::nullopt;
    }
    CameraFileDetails details;
    int result = GP_OK;
    bool haveWhole = false;

    // The start of the file holds its metadata; cameras that cannot read part of a file send it whole.
    std::string header(256 * 1024, '\0');
    uint64_t headerSize = header.size();
    std::string headerPath;
    if (gp_camera_file_read(h->camera, file.folder.c_str(), file.name.c_str(), GP_FILE_TYPE_NORMAL, 0,
                            header.data(), &headerSize, h->context) >= GP_OK &&
        headerSize > 0) {
        if (FILE* out = fopen(whole.path.c_str(), "wb")) {
            bool written = fwrite(header.data(), 1, headerSize, out) == headerSize;
            if (fclose(out) == 0 && written) headerPath = whole.path;
        }
    } else {
        haveWhole = fetchToPath(file, GP_FILE_TYPE_NORMAL, whole.path, &result);
        if (!haveWhole) {
            if (error) *error = CameraError::fromResult(result, "read \"" + file.name + "\"");
            return std::nullopt;
        }
        headerPath = whole.path;
    }
    if (!headerPath.empty()) {
        if (auto source = imageio::ImageSource::createWithPath(headerPath))
            details.metadata = source->copyProperties();
    }

    std::unique_ptr<imageio::ImageSource> thumbnailSource;
    if (fetchToPath(file, GP_FILE_TYPE_PREVIEW, preview.path, &result)) {
        thumbnailSource = imageio::ImageSource::createWithPath(preview.path);
    }
    if (!thumbnailSource || !thumbnailSource->count()) {
        if (!haveWhole) haveWhole = fetchToPath(file, GP_FILE_TYPE_NORMAL, whole.path, &result);
        if (haveWhole) thumbnailSource = imageio::ImageSource::createWithPath(whole.path);
    }
    if (thumbnailSource && thumbnailSource->count())
        details.thumbnail = thumbnailSource->createThumbnail(thumbnailSize);
    return details;
}

std::optional<std::string> CameraSession::downloadFile(const CameraFileEntry& file, const std::string& folder,
                                                       CameraError* error) {
    const std::string action = "download \"" + file.name + "\"";
    auto failWith = [&](CameraError failure) -> std::optional<std::string> {
        if (error) *error = std::move(failure);
        return std::nullopt;
    };
    // Written under a hidden name first, so a failed transfer never leaves a partial photo.
    std::string partial = (fs::path(folder) / ".opalene-download-XXXXXX").string();
    int fd = mkstemp(partial.data());
    if (fd < 0)
        return failWith(CameraError::withDescription("Could not " + action + ": the folder \"" + folder +
                                                     "\" cannot be written to."));
    fchmod(fd, 0644); // a photo like any other, not a private temporary file
    close(fd);
    ScratchFile guard{partial};
    int result = GP_OK;
    if (!fetchToPath(file, GP_FILE_TYPE_NORMAL, partial, &result))
        return failWith(CameraError::fromResult(result, action));
    struct stat written {};
    if (stat(partial.c_str(), &written) != 0 ||
        (file.size > 0 && static_cast<uint64_t>(written.st_size) != file.size)) {
        return failWith(
            CameraError::withDescription("Could not " + action + ": the transfer was incomplete."));
    }

    const fs::path name(safeFileName(file.name));
    const std::string stem = name.stem().string(), extension = name.extension().string();
    for (int n = 1; n < 10000; ++n) {
        fs::path candidate =
            fs::path(folder) / (n == 1 ? name.string() : stem + " (" + std::to_string(n) + ")" + extension);
        int failure = renameNoReplace(partial, candidate.string());
        if (failure == 0) {
            guard.path.clear();
            return candidate.string();
        }
        if (failure != EEXIST) break;
    }
    return failWith(CameraError::withDescription("Could not " + action +
                                                 ": the file could not be saved in \"" + folder + "\"."));
}

} // namespace camera
