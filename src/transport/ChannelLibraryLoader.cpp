#include "transport/ChannelLibraryLoader.h"

#include <dlfcn.h>

#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Format.h"
#include "zeviz.h"

namespace dialvane {
namespace {

constexpr std::array<const char*, kChannelEntryCount> kEntryNames{
    "MVInitialize",  "MVRelease",      "MVGetDeviceID", "MVGetAvailableChannel",
    "MVOpenChannel", "MVCloseChannel", "MVGetStatus",   "MVSend",
    "MVReceive",     "MVReceiveCancel"};

void Log(const std::string& text, LogCategory kind) {
    LogWrite(text, LogCategory::LogProc_ZEVIZ, kind, 'L');
}

// An address as the log shows it: sixteen upper-case hexadecimal digits.
std::string AddressText(const void* address) {
    return Format("%016X",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
}

}  // namespace

const char* ChannelEntryName(ChannelEntry entry) {
    return kEntryNames[static_cast<std::size_t>(entry)];
}

const char* ChannelErrorName(int result) {
    switch (result) {
        case MVER_PORT:
            return "RMM_MVER_PORT";
        case MVER_PRINTER:
            return "RMM_MVER_PRINTER";
        case MVER_NOTFOUND:
            return "RMM_MVER_NOTFOUND";
        case MVER_BUFFERSIZE:
            return "RMM_MVER_BUFFERSIZE";
        case MVER_NOTSUPPORT:
            return "RMM_MVER_NOTSUPPORT";
        case MVER_HANDLE:
            return "RMM_MVER_HANDLE";
        case MVER_TIMEOUT:
            return "RMM_MVER_TIMEOUT";
        case MVER_USERCANCEL:
            return "RMM_MVER_USERCANCEL";
        case MVER_NOTBLOCK:
            return "RMM_MVER_NOTBLOCK";
        case MVER_INITIALIZE:
            return "RMM_MVER_INITIALIZE";
        case MVER_PARAMETER:
            return "RMM_MVER_PARAMETER";
        case MVER_COMMUNICATION:
            return "RMM_MVER_COMMUNICATION";
        case MVER_BUSY:
            return "RMM_MVER_BUSY";
        default:
            return "";
    }
}

std::string ChannelLibraryFolder(const std::string& programFolder) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += "/";
    }
    if (FileExists(folder + "libzeviz.so")) {
        return folder;
    }
    return folder + "../lib/dialvane/";
}

std::unique_ptr<LoadedChannelLibrary> LoadedChannelLibrary::Load(const std::string& path) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        module = dlopen((path + ".1").c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr) {
        const char* why = dlerror();
        Log(Format("LoadLibrary fail. : %s (%s)", path, why != nullptr ? why : ""),
            LogCategory::LogFunc_Error);
        return nullptr;
    }
    Log(Format("LoadLibrary done. : %s", AddressText(module)), LogCategory::LogFunc_End);
    std::unique_ptr<LoadedChannelLibrary> library(new LoadedChannelLibrary(module));
    for (int i = 0; i < kChannelEntryCount; ++i) {
        void* address = dlsym(module, kEntryNames[static_cast<std::size_t>(i)]);
        Log(Format("GetProcAddres [%d] : %s", i, AddressText(address)), LogCategory::LogFunc_Info);
        if (address == nullptr) {
            return nullptr;
        }
        library->address_[static_cast<std::size_t>(i)] = address;
    }
    return library;
}

LoadedChannelLibrary::~LoadedChannelLibrary() {
    dlclose(module_);
}

}  // namespace dialvane
