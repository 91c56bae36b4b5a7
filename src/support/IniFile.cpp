#include "support/IniFile.h"

#include "support/FileUtil.h"
#include "support/TextUtil.h"

namespace dialvane {

bool LoadIniFile(CSimpleIniA& ini, const std::string& path) {
    ini.Reset();
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    ini.SetMultiLine(false);
    if (path.empty()) {
        return false;
    }
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        return false;
    }
    return ini.LoadData(bytes->data(), bytes->size()) >= 0;
}

std::string IniText(const CSimpleIniA& ini, const char* section, const char* key,
                    const char* fallback) {
    const char* value = ini.GetValue(section, key, nullptr);
    return value != nullptr ? std::string(value) : std::string(fallback);
}

int IniInteger(const CSimpleIniA& ini, const char* section, const char* key, const char* fallback) {
    return ParseIntegerText(IniText(ini, section, key, fallback)).value_or(-1);
}

}  // namespace dialvane
