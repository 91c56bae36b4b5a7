#include "data/BackupStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "data/CharConv.h"
#include "data/DownloadWriter.h"
#include "support/Format.h"
#include "support/Messages.h"

namespace dialvane {
namespace {

constexpr std::string_view kExtension = ".csv";
constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS

std::string SafePart(const std::string& text, const char* empty) {
    if (text.empty()) {
        return empty;
    }
    std::string safe;
    for (const char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        safe += plain ? c : '-';
    }
    // "." and ".." are no names for a file part.
    return safe.find_first_not_of('.') == std::string::npos ? std::string(empty) : safe;
}

std::string Prefix(const std::string& model, const std::string& address) {
    return SafePart(model, "unknown") + "_" + SafePart(address, "unknown") + "_";
}

// The time and the same-second sequence of a backup's name, for ordering; false when the name
// after the prefix is not a time stamp (a file someone else put there).
bool ParseStamp(std::string_view rest, std::string& stamp, unsigned& sequence) {
    if (!rest.ends_with(kExtension) || rest.size() < kStampLength + kExtension.size()) {
        return false;
    }
    rest.remove_suffix(kExtension.size());
    stamp = std::string(rest.substr(0, kStampLength));
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
        if (i == 8 ? stamp[i] != '-' : !digit) {
            return false;
        }
    }
    rest.remove_prefix(kStampLength);
    sequence = 1;
    if (rest.empty()) {
        return true;
    }
    if (rest.size() < 2 || rest[0] != '-') {
        return false;
    }
    sequence = 0;
    for (const char c : rest.substr(1)) {
        if (c < '0' || c > '9' || sequence > 100000) {
            return false;
        }
        sequence = sequence * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// A list the code page cannot hold (names outside it pass the Unicode rule) is kept in marked
// UTF-8, which the window and every --encoding read back unchanged.
FileEncoding BackupEncoding(const RecordTable& table) {
    const FileEncoding codePage = table.Product().Rules().FileDefault();
    for (int i = 1; i <= table.Count(); ++i) {
        for (const std::string& field : table.At(i)) {
            if (!Utf8ToFileBytes(field, codePage)) {
                return FileEncoding::Utf8Marked;
            }
        }
    }
    return codePage;
}

}  // namespace

BackupStore::BackupStore(std::string folder, int keep)
    : folder_(std::move(folder)), keep_(std::max(keep, 1)) {
    if (!folder_.empty() && folder_.back() != '/') {
        folder_ += '/';
    }
}

std::string BackupStore::FileName(const std::string& model, const std::string& address,
                                  std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return Prefix(model, address) +
           Format("%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec) +
           std::string(kExtension);
}

bool BackupStore::Save(const RecordTable& table, const std::string& model,
                       const std::string& address, std::time_t when, std::string* path,
                       std::string* error, const std::string& spare) const {
    std::string cause;
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        cause = std::strerror(errno);
    } else if (struct stat info{}; ::stat(folder_.c_str(), &info) != 0) {
        cause = std::strerror(errno);
    } else if (!S_ISDIR(info.st_mode)) {
        cause = std::strerror(ENOTDIR);
    }
    std::string name = FileName(model, address, when);
    for (int sequence = 2; cause.empty() && ::access((folder_ + name).c_str(), F_OK) == 0;
         ++sequence) {
        name = FileName(model, address, when);
        name.insert(name.size() - kExtension.size(), "-" + std::to_string(sequence));
    }
    const std::string target = folder_ + name;
    if (cause.empty()) {
        std::string writeError;
        const FileEncoding encoding = BackupEncoding(table);
        errno = 0;
        if (WriteDownloadFile(target, table, &writeError, kPrivateFileMode, encoding)) {
            if (path != nullptr) {
                *path = target;
            }
            Prune(model, address, spare);
            return true;
        }
        cause = errno != 0 ? std::strerror(errno) : writeError;
    }
    if (error != nullptr) {
        *error = Text(Msg::BackupWriteFailed, target, cause);
    }
    return false;
}

std::vector<std::string> BackupStore::List(const std::string& model,
                                           const std::string& address) const {
    const std::string prefix = Prefix(model, address);
    std::vector<std::tuple<std::string, unsigned, std::string>> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const std::string name = entry.path().filename().string();
        std::string stamp;
        unsigned sequence = 0;
        if (name.starts_with(prefix) && entry.is_regular_file(ec) &&
            ParseStamp(std::string_view(name).substr(prefix.size()), stamp, sequence)) {
            found.emplace_back(stamp, sequence, folder_ + name);
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (auto& [stamp, sequence, path] : found) {
        paths.push_back(std::move(path));
    }
    return paths;
}

void BackupStore::Prune(const std::string& model, const std::string& address,
                        const std::string& spare) const {
    std::vector<std::string> backups = List(model, address);
    std::erase(backups, spare);
    const std::size_t keep = static_cast<std::size_t>(keep_);
    for (std::size_t i = 0; i + keep < backups.size(); ++i) {
        std::error_code ec;
        std::filesystem::remove(backups[i], ec);
    }
}

}  // namespace dialvane
