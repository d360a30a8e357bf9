#include "platform/foundation/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace foundation {

namespace fs = std::filesystem;

namespace {

void setError(std::string* error, const std::string& what, const std::string& path, int err) {
    if (error) *error = what + " " + path + ": " + std::strerror(err);
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::string* error, bool* missing) {
    if (missing) *missing = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing) *missing = errno == ENOENT;
        setError(error, "cannot open", path, errno);
        return std::nullopt;
    }
    std::string data;
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            setError(error, "cannot read", path, errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool writeFileAtomically(const std::string& path, const std::string& data, std::string* error) {
    std::string temp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        setError(error, "cannot create a temporary file for", path, errno);
        return false;
    }
    ::fchmod(fd, 0644);
    bool written = writeAll(fd, data) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        if (written) err = errno;
        ::unlink(temp.c_str());
        setError(error, "cannot write", path, err);
        return false;
    }
    // Make the rename itself durable.
    std::string dir = fs::path(path).parent_path().string();
    int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::string setAsideDamagedFile(const std::string& path) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string base = path + ".damaged-" + stamp;
    for (int n = 0; n < 1000; ++n) {
        std::string candidate = n == 0 ? base : base + "-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(fs::symlink_status(candidate, ec))) continue;
        // link() refuses to replace an existing name, unlike rename().
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            ::unlink(path.c_str());
            return candidate;
        }
        if (errno != EEXIST) break;
    }
    if (::rename(path.c_str(), base.c_str()) == 0) return base; // file systems without hard links
    return {};
}

} // namespace foundation
