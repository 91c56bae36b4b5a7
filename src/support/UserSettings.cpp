#include "support/UserSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <list>

#include "support/FileUtil.h"
#include "support/IniFile.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

constexpr const char* kIpPrefix = "IP_ADDR_LIST";
constexpr const char* kSenderPrefix = "CB_SENDER_LIST";
constexpr const char* kFilePrefix = "CB_SEL_FILE_LIST";
constexpr const char* kCardDavSection = "CardDAV";
constexpr size_t kIpReadLimit = 6;
constexpr int kSenderKeys = 5;
constexpr int kFileKeys = 10;

std::string NumberedKey(const char* prefix, size_t n) {
    return std::string(prefix) + std::to_string(n);
}

// The keys of a section in file order.
std::list<CSimpleIniA::Entry> KeysInFileOrder(const CSimpleIniA& ini, const char* section) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(section, keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    return {keys.begin(), keys.end()};
}

std::vector<std::string> ReadNumbered(const CSimpleIniA& ini, const char* section,
                                      const char* prefix, int count) {
    std::vector<std::string> history;
    for (int n = 1; n <= count; ++n) {
        std::string value = IniText(ini, section, NumberedKey(prefix, n).c_str(), "");
        if (!value.empty()) {
            history.push_back(value);
        }
    }
    return history;
}

// Key names compare without regard to case everywhere, as the ini reader compares them: a key
// the reader takes must be one the writer replaces, or a rewrite loses or repeats an entry.
bool HasPrefix(std::string_view name, std::string_view prefix) {
    return StartsWith(ToUpperAscii(name), prefix);
}

// Deletes every key of the section that begins with `prefix`.
void DeletePrefixed(CSimpleIniA& ini, const char* section, const char* prefix) {
    std::vector<std::string> doomed;
    for (const CSimpleIniA::Entry& key : KeysInFileOrder(ini, section)) {
        if (HasPrefix(key.pItem, prefix)) {
            doomed.emplace_back(key.pItem);
        }
    }
    for (const std::string& key : doomed) {
        ini.Delete(section, key.c_str());
    }
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

UserSettings ReadUserSettings(const std::string& path, int defaultConnection) {
    CSimpleIniA ini;
    LoadIniFile(ini, path);
    UserSettings s;

    std::string connection = IniText(ini, "Network", "CONNECTION", "");
    s.connection =
        connection.empty() ? defaultConnection : ParseIntegerText(connection).value_or(-1);
    s.ipAddress = IniText(ini, "Network", "IP_ADDR_DAT", "");

    for (const CSimpleIniA::Entry& key : KeysInFileOrder(ini, "Network")) {
        if (s.ipHistory.size() >= kIpReadLimit) {
            break;
        }
        std::string_view name = key.pItem;
        if (EqualsIgnoreCase(name, "CONNECTION") || !HasPrefix(name, kIpPrefix)) {
            continue;
        }
        s.ipHistory.push_back(IniText(ini, "Network", key.pItem, ""));
    }

    s.senderHistory = ReadNumbered(ini, "MAINFORM", kSenderPrefix, kSenderKeys);
    s.fileHistory = ReadNumbered(ini, "MAINFORM", kFilePrefix, kFileKeys);
    s.cardDavUrl = IniText(ini, kCardDavSection, "URL", "");
    s.cardDavUser = IniText(ini, kCardDavSection, "USER", "");
    return s;
}

bool WriteUserSettings(const std::string& path, const UserSettings& settings) {
    CSimpleIniA ini;
    LoadIniFile(ini, path);

    ini.SetValue("Network", "CONNECTION", std::to_string(settings.connection).c_str());
    ini.SetValue("Network", "IP_ADDR_DAT", settings.ipAddress.c_str());

    DeletePrefixed(ini, "Network", kIpPrefix);
    for (size_t n = 0; n < settings.ipHistory.size(); ++n) {
        ini.SetValue("Network", NumberedKey(kIpPrefix, n + 1).c_str(),
                     settings.ipHistory[n].c_str());
    }

    // Keys 1..N take the history. The reader's keys above N are removed as well: one left over
    // would be read back next time as a duplicate of an entry below it.
    size_t senderKeys = std::max<size_t>(kSenderKeys, settings.senderHistory.size());
    for (size_t n = 1; n <= senderKeys; ++n) {
        std::string key = NumberedKey(kSenderPrefix, n);
        if (n <= settings.senderHistory.size()) {
            ini.SetValue("MAINFORM", key.c_str(), settings.senderHistory[n - 1].c_str());
        } else {
            ini.Delete("MAINFORM", key.c_str());
        }
    }

    DeletePrefixed(ini, "MAINFORM", kFilePrefix);
    for (size_t n = 0; n < settings.fileHistory.size(); ++n) {
        ini.SetValue("MAINFORM", NumberedKey(kFilePrefix, n + 1).c_str(),
                     settings.fileHistory[n].c_str());
    }

    // Only a user who imported from a server has the section.
    const auto setOrDelete = [&ini](const char* key, const std::string& value) {
        if (value.empty()) {
            ini.Delete(kCardDavSection, key, true);
        } else {
            ini.SetValue(kCardDavSection, key, value.c_str());
        }
    };
    setOrDelete("URL", settings.cardDavUrl);
    setOrDelete("USER", settings.cardDavUser);

    std::string bytes;
    if (ini.Save(bytes) < 0) {
        return false;
    }
    // It lists the MFPs' addresses and the user's files: readable by its owner only.
    return WriteFileAtomic(path, bytes, 0600);
}

bool UserSettingsWritable(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        // Opening for writing is the real test: access() says yes to root for read-only files,
        // and something other than a file may stand in its place.
        if (!S_ISREG(status.st_mode)) {
            return false;
        }
        const int handle = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (handle < 0) {
            return false;
        }
        ::close(handle);
    }
    return ::access(FolderOf(path).c_str(), W_OK | X_OK) == 0;
}

}  // namespace dialvane
