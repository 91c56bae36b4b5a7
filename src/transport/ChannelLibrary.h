#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <utility>
#include <vector>

#include "protocol/DeviceChannel.h"
#include "support/Prompt.h"
#include "transport/ChannelLibraryLoader.h"
#include "transport/UsbPrinters.h"

namespace dialvane {

// One channel the device offers.
struct OfferedChannel {
    std::uint32_t number = 0;
    std::uint16_t mode = 0;
};

// The channels tried, best first, and the mode bits one of them must offer.
inline constexpr std::array<std::uint32_t, 5> kChannelPreference{0x00000004, 0x10010002, 0x10010003,
                                                                 0x10000003, 0x02000001};
inline constexpr std::uint16_t kRequiredChannelMode = 0x0003;  // read and write

// The first preferred channel the device offers with a mode sharing a bit with the required
// mode; nullopt when there is none.
std::optional<std::uint32_t> ChooseChannel(const std::vector<OfferedChannel>& offered);

struct ChannelLibrarySetup {
    // Where the library files are: the program's own library folder. Must be absolute; a
    // relative folder is refused, so a library is never taken from the current folder.
    std::string libraryFolder;
    // Where the per-driver parameter files go (absolute); empty: ConfigFolder() + "drivers/".
    std::string driverSettingsFolder;
    // The candidate printers, in order; empty: ListUsbPrinters over `models`.
    std::function<std::vector<UsbPrinter>()> listPrinters;
    std::vector<std::string> models;  // the supported model names
};

// The USB channel: the device-channel library loaded at run time. Open runs the whole set-up
// (candidates, library path, driver parameters, load, resolve, initialise, device ID, channel
// choice, open); Send and the receive thread's Poll go through the library. The library stays
// loaded until ChannelRelease, which the program calls once, when it closes.
class ChannelLibrary final : public IDeviceChannel {
  public:
    static constexpr std::uint16_t kMaxSendCount = 0xFFFF;
    static constexpr std::size_t kInitialReceiveBuffer = 4096;

    explicit ChannelLibrary(ChannelLibrarySetup setup);
    ~ChannelLibrary() override;
    ChannelLibrary(const ChannelLibrary&) = delete;
    ChannelLibrary& operator=(const ChannelLibrary&) = delete;

    // The product's library choice (1: the model's driver library) and receive timeout.
    void SetLibraryChoice(int zevizLibrary) { zevizLibrary_ = zevizLibrary; }
    void SetReceiveTimeout(int milliseconds) { receiveTimeout_ = milliseconds; }
    // Where a set-up failure the user must hear of is told (the session's prompt); without one
    // it is only logged.
    void SetPrompt(IPrompt* prompt) { prompt_ = prompt; }

    bool ChannelOpen();
    // One library send of at most 65535 bytes: the count accepted or a negative error.
    int ChannelSend(const std::uint8_t* bytes, std::size_t count);
    // One library receive waiting at most `timeoutMs` (negative: the receive timeout). The
    // count copied, never more than `capacity`; negative on error (-5 reads as -9).
    int ChannelReceive(std::uint8_t* buffer, std::size_t capacity, int timeoutMs = -1);
    bool ChannelReceiveCancel();
    // MVRelease and unload; the next Open loads the library again. The library keeps its state per
    // process, not per handle: MVRelease ends every channel it holds in this process, also those
    // of other ChannelLibrary objects. Call it once the program no longer talks over USB at all.
    void ChannelRelease();
    bool Loaded() const;

    // The printer of the last successful open.
    std::string PrinterName() const;
    std::string DeviceId() const;
    std::uint32_t SelectedChannel() const { return selectedChannel_; }

    // IDeviceChannel
    bool Open() override { return ChannelOpen(); }
    void Close() override;
    bool Connected() const override { return connected_; }
    bool IsNetwork() const override { return false; }
    std::size_t Send(std::span<const std::uint8_t> bytes) override;
    int Receive(std::uint8_t* buffer, std::size_t capacity) override;
    void Poll(int timeoutMs) override;
    void Wake() override;
    bool HoldsBytes() const override;
    std::optional<ChannelOpenFailure> OpenFailure() const override;
    bool ForcedDisconnect() const override { return forced_; }
    bool DelaysReceive() const override { return true; }
    void CancelReceive() override { ChannelReceiveCancel(); }

  private:
    bool TryCandidate(const UsbPrinter& printer);
    std::string LibraryPath(const UsbPrinter& printer) const;
    bool PrepareDriverParameters(const UsbPrinter& printer);
    // Calls a query entry once more with a larger buffer when it answers that the buffer is too
    // small and says how large it must be. The result and the size the library reported.
    template <typename Fn, typename T>
    std::pair<int, std::uint32_t> QueryWithGrowingBuffer(ChannelEntry entry,
                                                         const std::string& printers,
                                                         std::vector<T>& buffer);
    bool QueryDeviceId(const std::string& printers);
    bool QueryChannels(const std::string& printers, std::vector<OfferedChannel>& offered);
    int LibraryReceive(int timeoutMs);
    void NoteNoData();
    void FlushNoDataSummary();
    void LogResult(ChannelEntry entry, int result);
    void LoseDevice(int result);

    ChannelLibrarySetup setup_;
    std::atomic<int> zevizLibrary_{1};
    std::atomic<int> receiveTimeout_{-1};
    std::atomic<IPrompt*> prompt_{nullptr};

    // Open and Release change the library; sends and receives only use it.
    mutable std::shared_mutex libraryMutex_;
    std::unique_ptr<LoadedChannelLibrary> library_;
    std::atomic<int> handle_{-1};
    std::atomic<std::uint32_t> selectedChannel_{0};
    mutable std::mutex infoMutex_;
    std::string printerName_, printerPort_, printerModel_, deviceId_;
    std::vector<OfferedChannel> offered_;

    // The library receive buffer and the no-data run; receive thread (and tests) only.
    std::mutex receiveMutex_;
    std::vector<std::uint8_t> receiveBuffer_;
    int noDataCount_ = 0;
    std::string noDataFirst_, noDataLast_;
    long long noDataFirstMs_ = 0, noDataLastMs_ = 0;
    std::atomic<bool> receivePending_{false};

    // Bytes the receive thread took from the library and the receive cycle has not yet taken.
    mutable std::mutex pendingMutex_;
    std::condition_variable wake_;
    std::vector<std::uint8_t> pending_;
    bool woken_ = false;

    std::atomic<bool> connected_{false};
    std::atomic<bool> forced_{false};
    std::atomic<bool> failed_{false};
};

}  // namespace dialvane
