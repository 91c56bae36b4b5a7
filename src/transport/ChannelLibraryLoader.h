#pragma once

#include <array>
#include <memory>
#include <string>

namespace dialvane {

// Entry point numbers: the order they are resolved in and the function number of log lines.
enum class ChannelEntry : int {
    MVInitialize = 0,
    MVRelease,
    MVGetDeviceID,
    MVGetAvailableChannel,
    MVOpenChannel,
    MVCloseChannel,
    MVGetStatus,
    MVSend,
    MVReceive,
    MVReceiveCancel,
};
inline constexpr int kChannelEntryCount = 10;
const char* ChannelEntryName(ChannelEntry entry);
// "RMM_MVER_TIMEOUT" for -9 ...; empty for a result that is not a library error code.
const char* ChannelErrorName(int result);

// The program's own library folder: beside the program when the library is there (the build
// tree), else <prefix>/lib/dialvane/ for a program in <prefix>/bin/. Ends in "/".
std::string ChannelLibraryFolder(const std::string& programFolder);

// The device-channel library loaded from one file, with every entry point resolved. Unloaded
// when destroyed.
class LoadedChannelLibrary {
  public:
    // Loads `path` (or `path`.1); nullptr, logged, when it cannot be loaded or lacks an entry.
    static std::unique_ptr<LoadedChannelLibrary> Load(const std::string& path);
    ~LoadedChannelLibrary();
    LoadedChannelLibrary(const LoadedChannelLibrary&) = delete;
    LoadedChannelLibrary& operator=(const LoadedChannelLibrary&) = delete;

    template <typename Fn>
    Fn Get(ChannelEntry entry) const {
        return reinterpret_cast<Fn>(address_[static_cast<std::size_t>(entry)]);
    }

  private:
    explicit LoadedChannelLibrary(void* module) : module_(module) {}

    void* module_;
    std::array<void*, kChannelEntryCount> address_{};
};

}  // namespace dialvane
