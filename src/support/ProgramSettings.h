#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "support/QnlEnv.h"

namespace dialvane {

inline constexpr int kModelListSize = 5;

// The read-only program settings file. Every member starts at the value a missing file gives.
struct ProgramSettings {
    std::string lang = "ENU";  // user-interface language code
    int formHeight = 600;
    int formWidth = 600;
    // Entry 0 is the current model pair (PRINTER_MODEL / PRTMDLNAME), 1..4 the further ones.
    std::array<std::string, kModelListSize> printerModels{"ORVEX DX-M100"};
    std::array<std::string, kModelListSize> shortModelNames{"DX-M100"};
    int disp = 0;  // progress-view level
    QnlEnvRecord qnlEnv{"0001", "0014", "000A", 3, 5000, 3, 1000, 100, 10, 30000, 0};
    uint8_t verify = 0;
    int connection = 0;  // default connection kind: 0 USB, 1 network
    bool offline = false;
    std::string offlineTarget = "DX-R7700";
    // [Backup]: the MFP's list is saved before every upload; the newest `backupKeep` per MFP stay.
    bool backup = true;
    int backupKeep = 20;
};

// Reads the file, key by key with the defaults above; a missing file gives every default.
// Numbers that are not integers read as -1; byte values keep the low 8 bits.
ProgramSettings ReadProgramSettings(const std::string& path);

// A number as at least four upper-case hexadecimal digits of its 32 bits: 20 -> "0014",
// -1 -> "FFFFFFFF".
std::string FormatHex4(int value);

// The name of the program settings file beside the program.
inline constexpr const char* kProgramSettingsName = "dialvane.ini";

// The file in `folder` whose name equals `name` without regard to case; folder + name when
// there is none.
std::string FindFileIgnoringCase(const std::string& folder, const std::string& name);

}  // namespace dialvane
