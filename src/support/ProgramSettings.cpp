#include "support/ProgramSettings.h"

#include <dirent.h>

#include "support/IniFile.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

uint8_t LowByte(int value) {
    return static_cast<uint8_t>(static_cast<unsigned int>(value) & 0xFFu);
}

}  // namespace

std::string FormatHex4(int value) {
    static const char kHex[] = "0123456789ABCDEF";
    auto bits = static_cast<uint32_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), kHex[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    while (digits.size() < 4) {
        digits.insert(digits.begin(), '0');
    }
    return digits;
}

std::string FindFileIgnoringCase(const std::string& folder, const std::string& name) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    DIR* dir = ::opendir(base.empty() ? "." : base.c_str());
    if (dir != nullptr) {
        std::string exact;
        std::string folded;
        while (dirent* entry = ::readdir(dir)) {
            std::string_view candidate = entry->d_name;
            if (candidate == name) {
                exact = candidate;
            } else if (folded.empty() && EqualsIgnoreCase(candidate, name)) {
                folded = candidate;
            }
        }
        ::closedir(dir);
        // An exact match wins, so the choice does not depend on the directory order.
        if (!exact.empty()) {
            return base + exact;
        }
        if (!folded.empty()) {
            return base + folded;
        }
    }
    return base + name;
}

ProgramSettings ReadProgramSettings(const std::string& path) {
    CSimpleIniA ini;
    LoadIniFile(ini, path);
    ProgramSettings s;

    s.lang = IniText(ini, "MAINFORM", "LANG", "ENU");
    s.formHeight = IniInteger(ini, "MAINFORM", "FORM_HEIGHT", "600");
    s.formWidth = IniInteger(ini, "MAINFORM", "FORM_WIDTH", "600");
    s.printerModels[0] = IniText(ini, "MAINFORM", "PRINTER_MODEL", "ORVEX DX-M100");
    s.shortModelNames[0] = IniText(ini, "MAINFORM", "PRTMDLNAME", "DX-M100");
    for (int n = 1; n < kModelListSize; ++n) {
        std::string suffix = "_" + std::to_string(n);
        s.printerModels[n] = IniText(ini, "MAINFORM", ("PRINTER_MODEL" + suffix).c_str(), "");
        s.shortModelNames[n] = IniText(ini, "MAINFORM", ("PRTMDLNAME" + suffix).c_str(), "");
    }

    s.disp = IniInteger(ini, "LOG_LEVEL", "DISP", "0");

    QnlEnvRecord& q = s.qnlEnv;
    q.connectNo = FormatHex4(IniInteger(ini, "QNL_ENV", "CONNECT_NO", "1"));
    q.openTimeout = FormatHex4(IniInteger(ini, "QNL_ENV", "OPEN_TIMEOUT", "20"));
    q.readTimeout = FormatHex4(IniInteger(ini, "QNL_ENV", "READ_TIMEOUT", "10"));
    q.openRetryCount = LowByte(IniInteger(ini, "QNL_ENV", "OPEN_RETRY_COUNT", "3"));
    q.openRetryTime = IniInteger(ini, "QNL_ENV", "OPEN_RETRY_TIME", "5000");
    q.nackRetryCount = LowByte(IniInteger(ini, "QNL_ENV", "NACK_RETRY_COUNT", "3"));
    q.nackRetryTime = IniInteger(ini, "QNL_ENV", "NACK_RETRY_TIME", "1000");
    q.polingRate = IniInteger(ini, "QNL_ENV", "POLINGRATE", "100");
    q.tcpPolingRate = IniInteger(ini, "QNL_ENV", "TCP_POLINGRATE", "10");
    q.timeout = IniInteger(ini, "QNL_ENV", "TIMEOUT", "30000");
    q.readDelay = IniInteger(ini, "QNL_ENV", "READ_DELAY", "0");
    s.verify = LowByte(IniInteger(ini, "QNL_ENV", "VERIFY", "0"));

    s.connection = IniInteger(ini, "Network", "CONNECTION", "0");
    s.offline = IniInteger(ini, "Network", "Offline", "0") != 0;
    s.offlineTarget = IniText(ini, "Network", "OfflineTarget", "DX-R7700");

    // Only an explicit 0 turns the backup off: a mistyped value must not lose a dial list.
    s.backup = IniInteger(ini, "Backup", "BACKUP", "1") != 0;
    s.backupKeep = IniInteger(ini, "Backup", "KEEP", "20");
    return s;
}

}  // namespace dialvane
