#include "config/SafeFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::string errorText(int error) {
    return std::strerror(error);
}

// Writes all bytes, resuming after signals and short writes.
bool writeAll(int fd, const char *bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// Makes a finished rename in `folder` durable. Some file systems cannot sync a folder (EINVAL);
// the file itself is on the disk by then, so that is no failure.
bool syncFolder(const std::string &folder, std::string &problem) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot open the folder to sync it: " + errorText(errno);
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced) {
        problem = "cannot sync the folder: " + errorText(error);
    }
    return synced;
}

// The process id in "<name>.<pid>.tmp"; 0 when the name is not of that form.
pid_t writerOf(const std::string &name) {
    static const std::string suffix = ".tmp";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::string stem = name.substr(0, name.size() - suffix.size());
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot + 1 == stem.size() || stem.size() - dot - 1 > 9) {
        return 0; // no number, or one too long for a process id
    }
    pid_t pid = 0;
    for (std::size_t i = dot + 1; i < stem.size(); ++i) {
        if (stem[i] < '0' || stem[i] > '9') {
            return 0;
        }
        pid = pid * 10 + (stem[i] - '0');
    }
    return pid;
}

bool processIsAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

std::string temporaryFileFor(const std::string &path) {
    return path + "." + std::to_string(::getpid()) + ".tmp";
}

bool replaceFileSafely(const std::string &path, const void *data, std::size_t size, std::string &problem) {
    const std::string temporary = temporaryFileFor(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        problem = "cannot create \"" + temporary + "\": " + errorText(errno);
        return false;
    }
    int error = 0;
    if (!writeAll(fd, static_cast<const char *>(data), size) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        problem = "cannot write \"" + temporary + "\": " + errorText(error);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = "cannot rename \"" + temporary + "\" into place: " + errorText(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return syncFolder(std::filesystem::path(path).parent_path().string(), problem);
}

int removeLeftoverTemporaries(const std::string &folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    int removed = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error)) {
        const pid_t writer = writerOf(entry.path().filename().string());
        if (writer > 0 && !processIsAlive(writer) && entry.is_regular_file(error) &&
            fs::remove(entry.path(), error)) {
            ++removed;
        }
    }
    return removed;
}

std::string unusedFileName(const std::string &folder, const std::string &stem, const std::string &extension) {
    std::error_code error;
    std::string path = folder + stem + extension;
    for (int n = 2; std::filesystem::exists(path, error); ++n)
        path = folder + stem + "-" + std::to_string(n) + extension;
    return path;
}
