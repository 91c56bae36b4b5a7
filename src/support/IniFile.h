#pragma once

// Settings files are plain bytes passed through unchanged; no wide-character conversion. The
// packaged header keeps the template bodies behind SI_IMPLEMENTATION; being templates they may
// be compiled into every file that includes this one. Include SimpleIni only through here.
#ifndef SI_NO_CONVERSION
#define SI_NO_CONVERSION
#endif
#ifndef SI_IMPLEMENTATION
#define SI_IMPLEMENTATION
#endif
#include <SimpleIni.h>

#include <string>

namespace dialvane {

// Loads the file into `ini` (section and key names compare without regard to case). A missing
// or unreadable file leaves it empty, so every read gives its default. False in that case.
bool LoadIniFile(CSimpleIniA& ini, const std::string& path);

// The value as text, or `fallback` when the key is missing. A key that is present but empty
// reads as empty.
std::string IniText(const CSimpleIniA& ini, const char* section, const char* key,
                    const char* fallback);

// The value (or the default text) as an integer; text that is not an integer reads as -1.
int IniInteger(const CSimpleIniA& ini, const char* section, const char* key, const char* fallback);

}  // namespace dialvane
