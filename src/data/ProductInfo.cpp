#include "data/ProductInfo.h"

// Settings files are plain bytes; no wide-character conversion is wanted.
#define SI_NO_CONVERSION
// The packaged header keeps its template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <dirent.h>
#include <sys/stat.h>

#include "support/Format.h"
#include "support/TextUtil.h"

namespace dialvane {

struct TProductInfo::Settings {
    CSimpleIniA ini{/*isUtf8=*/false, /*multiKey=*/false, /*multiLine=*/false};
};

namespace {
constexpr int kDefaultProfile = 0;
constexpr int kDefaultSpeedDial = 60;
constexpr int kDefaultQuickDial = 3;
constexpr int kDefaultKeyword = 0;
constexpr int kDefaultLibrary = 1;
constexpr int kDefaultReceiveTimeout = -1;

// The settings file is named with ".ini" here and ".INI" elsewhere, which on Windows is one file.
// On a case-sensitive file system the name is matched within its folder without regard to case.
std::string FindSettingsFile(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) == 0) {
        return path;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return path;
    }
    std::string found = path;
    while (const dirent* entry = readdir(dir)) {
        if (EqualsIgnoreCase(entry->d_name, name)) {
            found = (slash == std::string::npos ? std::string() : folder) + entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

TProductInfo::TProductInfo(const std::string& settingsPath, TextRules rules)
    : settings_(std::make_unique<Settings>()), rules_(rules) {
    // A missing or unreadable file leaves the reader empty, so every model takes the defaults.
    settings_->ini.LoadFile(FindSettingsFile(settingsPath).c_str());
    Load("Unknown");
}

TProductInfo::~TProductInfo() = default;

std::vector<std::string> TProductInfo::ConfiguredModels() const {
    CSimpleIniA::TNamesDepend sections;
    settings_->ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> models;
    for (const CSimpleIniA::Entry& section : sections) {
        if (settings_->ini.GetValue(section.pItem, "FaxType", nullptr) != nullptr) {
            models.emplace_back(section.pItem);
        }
    }
    return models;
}

int TProductInfo::ReadInt(const std::string& section, const char* key, int fallback) const {
    const char* value = settings_->ini.GetValue(section.c_str(), key, nullptr);
    if (value == nullptr) {
        return fallback;
    }
    return ParseIntegerText(value).value_or(fallback);
}

int TProductInfo::Profile(const std::string& modelName) const {
    return ReadInt(modelName, "FaxType", kDefaultProfile);
}

void TProductInfo::Load(const std::string& modelName) {
    modelName_ = modelName;
    const std::string profile = Format("FaxType%d", Profile(modelName));
    speedDial_ = ReadInt(profile, "SpeedDial", kDefaultSpeedDial);
    quickDial_ = ReadInt(profile, "QuickDial", kDefaultQuickDial);
    oneTouch_ = quickDial_ == 3;
    noKeyword_ = ReadInt(profile, "SpeedDialKeyword", kDefaultKeyword) == 0;
    zevizLibrary_ = ReadInt(profile, "ZEVIZLibrary", kDefaultLibrary);
    mvReceiveTimeout_ = ReadInt(profile, "MVReceiveTimeout", kDefaultReceiveTimeout);
}

const std::string& TProductInfo::ModelName() const {
    return modelName_;
}
int TProductInfo::SpeedDial() const {
    return speedDial_;
}
int TProductInfo::QuickDial() const {
    return quickDial_;
}
bool TProductInfo::OneTouch() const {
    return oneTouch_;
}
bool TProductInfo::NoKeyword() const {
    return noKeyword_;
}
int TProductInfo::ZevizLibrary() const {
    return zevizLibrary_;
}
int TProductInfo::MVReceiveTimeout() const {
    return mvReceiveTimeout_;
}

std::pair<bool, bool> TProductInfo::LibraryChoice(const std::string& modelName) const {
    const std::string profile = Format("FaxType%d", Profile(modelName));
    switch (ReadInt(profile, "ZEVIZLibrary", kDefaultLibrary)) {
        case 1:
            return {false, true};
        case 2:
            return {true, true};
        default:
            return {false, false};
    }
}

int TProductInfo::ReceiveTimeout(const std::string& modelName) const {
    const std::string profile = Format("FaxType%d", Profile(modelName));
    return ReadInt(profile, "MVReceiveTimeout", kDefaultReceiveTimeout);
}

}  // namespace dialvane
