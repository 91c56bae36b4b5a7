#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "support/FileUtil.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr std::string_view kTempMarker = ".dialvane-save-";
constexpr std::size_t kTempTailLength = 8;
constexpr std::string_view kTempTailCharacters =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kCreateAttempts = 16;

// A link is followed to the file it names: replacing the link itself with the new file would
// leave the file the user linked to (on a shared drive, say) with the old contents.
std::string WriteTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            return resolved.string();
        }
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool InSupplementaryGroups(gid_t group) {
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == group) {
            return true;
        }
    }
    return false;
}

// The write bit of the class this user falls in. Decided from the mode alone, for root too:
// a file marked read-only is the user saying "do not replace", and root replacing it would
// also hand the file to root.
bool ModeLetsUserWrite(const struct stat& status) {
    if (status.st_uid == ::geteuid()) {
        return (status.st_mode & S_IWUSR) != 0;
    }
    if (status.st_gid == ::getegid() || InSupplementaryGroups(status.st_gid)) {
        return (status.st_mode & S_IWGRP) != 0;
    }
    return (status.st_mode & S_IWOTH) != 0;
}

bool IsOwnTempName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kTempTailLength || !StartsWith(name, prefix)) {
        return false;
    }
    for (const char c : name.substr(prefix.size())) {
        if (kTempTailCharacters.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

// A save holds a lock on its temporary file while it writes, and the kernel drops that lock
// when the process dies: a temporary that can be locked belongs to nobody alive.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsOwnTempName(entry->d_name, prefix)) {
            stale.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : stale) {
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

// Creates and locks a fresh temporary beside the target; -1 on failure.
int CreateTemporary(const std::string& prefixPath, unsigned mode, std::string& tempPath) {
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, kTempTailCharacters.size() - 1);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string candidate = prefixPath;
        for (std::size_t i = 0; i < kTempTailLength; ++i) {
            candidate += kTempTailCharacters[pick(random)];
        }
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              static_cast<mode_t>(mode & 07777));
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX) != 0) {
                ::close(fd);
                ::unlink(candidate.c_str());
                return -1;
            }
            tempPath = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

// The rename is only on disk once the folder is: without this a power cut can bring back the
// old name, or no file at all.
bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

}  // namespace

std::string AtomicSaveTempPrefix(const std::string& path) {
    return NameOf(path) + std::string(kTempMarker);
}

std::string WhyNotWritable(const std::string& requestedPath) {
    if (requestedPath.empty()) {
        return std::strerror(ENOENT);
    }
    const std::string path = WriteTarget(requestedPath);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            return S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        }
        if (!ModeLetsUserWrite(status)) {
            return "the file is read-only";
        }
    }
    // The save creates its temporary beside the file and renames it into place.
    if (::access(FolderOf(path).c_str(), W_OK | X_OK) != 0) {
        return std::strerror(errno);
    }
    return {};
}

bool WriteFileAtomic(const std::string& requestedPath, std::string_view bytes,
                     unsigned newFileMode) {
    if (requestedPath.empty()) {
        return false;
    }
    const std::string path = WriteTarget(requestedPath);
    const std::string folder = FolderOf(path);
    const std::string prefix = AtomicSaveTempPrefix(path);

    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing && (!S_ISREG(old.st_mode) || !ModeLetsUserWrite(old))) {
        return false;
    }
    RemoveStaleTemporaries(folder, prefix);

    std::string temp;
    const int fd = CreateTemporary(folder + "/" + prefix, newFileMode, temp);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAllBytes(fd, bytes);
    if (ok && replacing) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    // Closing drops the lock, so only after the rename: a concurrent save must not take a
    // finished temporary for a stale one.
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return SyncFolder(folder);
}

}  // namespace dialvane
