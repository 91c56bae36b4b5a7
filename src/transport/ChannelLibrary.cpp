#include "transport/ChannelLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Format.h"
#include "support/IniFile.h"
#include "support/Messages.h"
#include "support/Prompt.h"
#include "zeviz.h"

namespace dialvane {
namespace {

constexpr const char* kIndent = "    ";
constexpr const char* kDriverSection = "Driver";
constexpr std::size_t kDeviceIdBuffer = 256;
constexpr std::size_t kChannelBuffer = 16 * MV_CHANNEL_RECORD_SIZE;
constexpr int kDumpIndent = 4;

void Log(const std::string& text, LogCategory kind) {
    LogWrite(text, LogCategory::LogProc_ZEVIZ, kind, 'L');
}

void LogCall(ChannelEntry entry) {
    Log(Format("%s Call", ChannelEntryName(entry)), LogCategory::LogFunc_Start);
}

std::string PrinterList(const std::string& name) {
    std::string list = name;
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

std::string ChannelText(std::uint32_t number) {
    return Format("%08X", number);
}

long long MillisecondsOfDay(const LogClockTime& t) {
    return ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

// Driver names become file names: nothing that could leave the folder.
std::string SafeFileName(const std::string& name) {
    std::string safe;
    for (const char c : name) {
        safe.push_back(c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 ? '_' : c);
    }
    return safe.empty() || safe[0] == '.' ? "_" + safe : safe;
}

// The results that mean the printer is gone: the channel cannot be used any more.
bool DeviceLost(int result) {
    return result == MVER_PORT || result == MVER_PRINTER || result == MVER_NOTFOUND ||
           result == MVER_HANDLE || result == MVER_COMMUNICATION;
}

}  // namespace

std::optional<std::uint32_t> ChooseChannel(const std::vector<OfferedChannel>& offered) {
    for (const std::uint32_t wanted : kChannelPreference) {
        for (const OfferedChannel& channel : offered) {
            if (channel.number == wanted && (channel.mode & kRequiredChannelMode) != 0) {
                return wanted;
            }
        }
    }
    return std::nullopt;
}

ChannelLibrary::ChannelLibrary(ChannelLibrarySetup setup) : setup_(std::move(setup)) {}

ChannelLibrary::~ChannelLibrary() {
    Close();
    std::unique_lock lock(libraryMutex_);
    library_.reset();
    handle_ = -1;
}

bool ChannelLibrary::Loaded() const {
    std::shared_lock lock(libraryMutex_);
    return library_ != nullptr;
}

std::string ChannelLibrary::PrinterName() const {
    std::lock_guard lock(infoMutex_);
    return printerName_;
}

std::string ChannelLibrary::DeviceId() const {
    std::lock_guard lock(infoMutex_);
    return deviceId_;
}

void ChannelLibrary::LogResult(ChannelEntry entry, int result) {
    Log(Format("%s(%d) %s", ChannelEntryName(entry), result, ChannelErrorName(result)),
        LogCategory::LogFunc_Error);
}

// ---------------------------------------------------------------------------------------------
// Open

bool ChannelLibrary::ChannelOpen() {
    Log("//=== ZEVIZ Setup 2 Start.", LogCategory::LogFunc_Start);
    Close();
    forced_ = false;
    failed_ = false;
    const std::vector<UsbPrinter> printers =
        setup_.listPrinters ? setup_.listPrinters() : ListUsbPrinters(setup_.models);
    Log("ListPrinterName done.", LogCategory::LogFunc_End);
    for (std::size_t i = 0; i < printers.size(); ++i) {
        Log(Format("PRTLIST%.2d: \"%s\" %s [%s]", i, printers[i].name, printers[i].model,
                   printers[i].port),
            LogCategory::LogFunc_Info);
    }
    for (const UsbPrinter& printer : printers) {
        if (TryCandidate(printer)) {
            Log("//=== ZEVIZ Setup 2 Complete.", LogCategory::LogFunc_End);
            connected_ = true;
            return true;
        }
    }
    failed_ = true;
    return false;
}

std::string ChannelLibrary::LibraryPath(const UsbPrinter& printer) const {
    const std::string& folder = setup_.libraryFolder;
    if (folder.empty() || folder.front() != '/') {
        return "";
    }
    const std::string base = folder.back() == '/' ? folder : folder + "/";
    if (zevizLibrary_ == 1) {
        // The model's own library must be installed with the program.
        const std::string path = base + "libzeviz4.so";
        return FileExists(path) || FileExists(path + ".1") ? path : "";
    }
    (void)printer;
    return base + "libzeviz.so";
}

bool ChannelLibrary::PrepareDriverParameters(const UsbPrinter& printer) {
    std::string folder = setup_.driverSettingsFolder.empty() ? ConfigFolder() + "drivers/"
                                                             : setup_.driverSettingsFolder;
    if (folder.back() != '/') {
        folder += "/";
    }
    const std::string path = folder + SafeFileName(printer.model) + ".ini";
    CSimpleIniA ini;
    LoadIniFile(ini, path);
    if (ini.GetValue(kDriverSection, "LPT_PrtMDLName") != nullptr) {
        return true;
    }
    const int timeout = receiveTimeout_;
    std::string text = std::string("[") + kDriverSection + "]\n";
    const std::pair<const char*, long long> values[] = {
        {"LPT_Channel00", 0x10010002},   {"LPT_ChnlMode00", 7},
        {"LPT_Channel01", 0x10010004},   {"LPT_ChnlMode01", 3},
        {"LPT_WriteTotalTimeOut", 3000}, {"LPT_ReadIntervalTimeOut", 20},
        {"LPT_SetTimeOutFlag", 1},       {"LPT_StatusLength", 121},
        {"LPT_DeviceIDReply", 1},        {"LPT_ReadTotalTimeOut", timeout < 0 ? 0 : timeout},
    };
    for (const auto& [key, value] : values) {
        text += Format("%s=%d\n", key, value);
    }
    text += "LPT_PrtMDLName=" + printer.model + "\n";
    if (MakeDirectories(folder) && WriteFileAtomic(path, text)) {
        return true;
    }
    PromptRequest box;
    box.text = Text(Msg::UsbDriverSettingsFailed, path);
    box.title = Text(Msg::AppTitle);
    box.buttons = PromptButtons::Ok;
    box.icon = PromptIcon::Stop;
    box.defaultAnswer = PromptAnswer::Ok;
    if (IPrompt* prompt = prompt_.load()) {
        prompt->Ask(box);
    }
    return false;
}

template <typename Fn, typename T>
std::pair<int, std::uint32_t> ChannelLibrary::QueryWithGrowingBuffer(ChannelEntry entry,
                                                                     const std::string& printers,
                                                                     std::vector<T>& buffer) {
    auto call = [&] {
        LogCall(entry);
        std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
        const int result = library_->Get<Fn>(entry)(1, printers.c_str(), buffer.data(), &size);
        LogResult(entry, result);
        return std::pair{result, size};
    };
    auto answer = call();
    if (answer.first == MVER_BUFFERSIZE && answer.second > buffer.size()) {
        buffer.assign(static_cast<std::size_t>(answer.second) + 1, 0);
        answer = call();
    }
    return answer;
}

bool ChannelLibrary::QueryDeviceId(const std::string& printers) {
    std::vector<char> buffer(kDeviceIdBuffer, 0);
    const auto [result, size] =
        QueryWithGrowingBuffer<MVGetDeviceIDFn>(ChannelEntry::MVGetDeviceID, printers, buffer);
    if (result < 0) {
        return false;
    }
    const std::string id(buffer.data(), strnlen(buffer.data(), buffer.size()));
    Log(Format("%sデバイスID=[%s]", kIndent, id), LogCategory::LogFunc_Info);
    Log("ZEVIZ_MVGetDeviceID done.", LogCategory::LogFunc_End);
    std::lock_guard lock(infoMutex_);
    deviceId_ = id;
    return true;
}

bool ChannelLibrary::QueryChannels(const std::string& printers,
                                   std::vector<OfferedChannel>& offered) {
    std::vector<std::uint8_t> buffer(kChannelBuffer, 0);
    const auto [result, size] = QueryWithGrowingBuffer<MVGetAvailableChannelFn>(
        ChannelEntry::MVGetAvailableChannel, printers, buffer);
    if (result < 0) {
        return false;
    }
    // The count is the library's word; the records must also fit the bytes it wrote.
    const std::size_t written = std::min<std::size_t>(size, buffer.size());
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(result), written / MV_CHANNEL_RECORD_SIZE);
    Log(Format("%sチャネル数=%d", kIndent, count), LogCategory::LogFunc_Info);
    offered.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* record = buffer.data() + i * MV_CHANNEL_RECORD_SIZE;
        OfferedChannel channel;
        channel.number = record[0] | record[1] << 8 | record[2] << 16 |
                         static_cast<std::uint32_t>(record[3]) << 24;
        channel.mode = static_cast<std::uint16_t>(record[4] | record[5] << 8);
        Log(Format("%sチャネル情報%u: Channel[%s] Mode[%x]", kIndent, i,
                   ChannelText(channel.number), channel.mode),
            LogCategory::LogFunc_Info);
        offered.push_back(channel);
    }
    if (offered.empty()) {
        return false;
    }
    Log("ZEVIZ_MVGetAvailableChannel done.", LogCategory::LogFunc_End);
    return true;
}

bool ChannelLibrary::TryCandidate(const UsbPrinter& printer) {
    const std::string path = LibraryPath(printer);
    if (path.empty()) {
        Log(Format("GetZEVIZLibraryPath fail. : %s (%s [%s])", setup_.libraryFolder, printer.name,
                   printer.model),
            LogCategory::LogFunc_Error);
        return false;
    }
    Log(Format("GetZEVIZLibraryPath done. : %s (%s [%s])", path, printer.name, printer.model),
        LogCategory::LogFunc_End);
    if (!PrepareDriverParameters(printer)) {
        return false;
    }

    std::unique_lock lock(libraryMutex_);
    if (library_ == nullptr) {
        library_ = LoadedChannelLibrary::Load(path);
        if (library_ == nullptr) {
            return false;
        }
    }
    LogCall(ChannelEntry::MVInitialize);
    int result = library_->Get<MVInitializeFn>(ChannelEntry::MVInitialize)();
    LogResult(ChannelEntry::MVInitialize, result);
    if (result != 0) {
        return false;
    }
    Log("ZEVIZ_MVInitialize done.", LogCategory::LogFunc_End);

    const std::string printers = PrinterList(printer.name);
    if (!QueryDeviceId(printers)) {
        return false;
    }
    {
        std::lock_guard info(infoMutex_);
        printerName_ = printer.name;
        printerPort_ = printer.port;
        printerModel_ = printer.model;
    }
    if (!PrepareDriverParameters(printer)) {
        return false;
    }
    std::vector<OfferedChannel> offered;
    if (!QueryChannels(printers, offered)) {
        return false;
    }
    const std::optional<std::uint32_t> channel = ChooseChannel(offered);
    if (!channel) {
        Log(Format("%sチャネル: [%s]", kIndent, "-"), LogCategory::LogFunc_Error);
        return false;
    }
    LogCall(ChannelEntry::MVOpenChannel);
    result =
        library_->Get<MVOpenChannelFn>(ChannelEntry::MVOpenChannel)(1, printers.c_str(), *channel);
    LogResult(ChannelEntry::MVOpenChannel, result);
    if (result < 0) {
        return false;
    }
    handle_ = result;
    selectedChannel_ = *channel;
    Log(Format("%sプリンタ名: [%s] チャネル: [%s]", kIndent, printer.name, ChannelText(*channel)),
        LogCategory::LogFunc_Info);
    Log("ZEVIZ_MVOpenChannel done.", LogCategory::LogFunc_End);
    {
        std::lock_guard info(infoMutex_);
        offered_ = std::move(offered);
    }
    return true;
}

std::optional<ChannelOpenFailure> ChannelLibrary::OpenFailure() const {
    if (!failed_) {
        return std::nullopt;
    }
    return ChannelOpenFailure{.message = Msg::DeviceNotConnected};
}

void ChannelLibrary::ChannelRelease() {
    Close();
    std::unique_lock lock(libraryMutex_);
    if (library_ == nullptr) {
        return;
    }
    // Process-wide in the library: any other channel it holds in this process ends here too.
    LogCall(ChannelEntry::MVRelease);
    const int result = library_->Get<MVReleaseFn>(ChannelEntry::MVRelease)();
    LogResult(ChannelEntry::MVRelease, result);
    library_.reset();
    handle_ = -1;
}

void ChannelLibrary::Close() {
    const bool wasConnected = connected_.exchange(false);
    if (wasConnected && receivePending_) {
        // The receive thread may be inside the library: let it come back now.
        ChannelReceiveCancel();
    }
    {
        std::lock_guard lock(pendingMutex_);
        pending_.clear();
        woken_ = true;
    }
    wake_.notify_all();
}

void ChannelLibrary::LoseDevice(int result) {
    if (!DeviceLost(result) || !connected_.exchange(false)) {
        return;
    }
    Log("強制切断", LogCategory::LogFunc_Error);
    forced_ = true;
    Wake();
}

// ---------------------------------------------------------------------------------------------
// Send and receive

int ChannelLibrary::ChannelSend(const std::uint8_t* bytes, std::size_t count) {
    std::shared_lock lock(libraryMutex_);
    if (library_ == nullptr || handle_ < 0) {
        return MVER_HANDLE;
    }
    const std::uint16_t n = static_cast<std::uint16_t>(std::min<std::size_t>(count, kMaxSendCount));
    LogCall(ChannelEntry::MVSend);
    int result = library_->Get<MVSendFn>(ChannelEntry::MVSend)(handle_, bytes, n);
    LogResult(ChannelEntry::MVSend, result);
    if (result > n) {
        result = n;  // the library cannot have taken more than it was given
    }
    if (result > 0) {
        LogDump(bytes, static_cast<std::size_t>(result), LogCategory::LogProc_ZEVIZ, kDumpIndent,
                LogCategory::LogFunc_Event);
    }
    lock.unlock();
    if (result < 0) {
        LoseDevice(result);
    }
    return result;
}

std::size_t ChannelLibrary::Send(std::span<const std::uint8_t> bytes) {
    if (!connected_) {
        return 0;
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int result = ChannelSend(bytes.data() + sent, bytes.size() - sent);
        // A library that accepts nothing would keep us here for ever.
        if (result <= 0) {
            return 0;
        }
        sent += static_cast<std::size_t>(result);
    }
    return sent;
}

void ChannelLibrary::NoteNoData() {
    const LogClockTime now = LogNow();
    if (noDataCount_ == 0) {
        noDataFirst_ = FormatLogTime(now);
        noDataFirstMs_ = MillisecondsOfDay(now);
    }
    noDataLast_ = FormatLogTime(now);
    noDataLastMs_ = MillisecondsOfDay(now);
    ++noDataCount_;
}

void ChannelLibrary::FlushNoDataSummary() {
    if (noDataCount_ == 0) {
        return;
    }
    long long wait = noDataLastMs_ - noDataFirstMs_;
    if (wait < 0) {
        wait += 24LL * 3600 * 1000;  // the run went past midnight
    }
    const std::string waited =
        Format("%02d:%02d.%03d", wait / 60000 % 60, wait / 1000 % 60, wait % 1000);
    Log(Format("%s... %s(%d) %s ×%d", ChannelEntryName(ChannelEntry::MVReceive),
               ChannelErrorName(MVER_TIMEOUT), MVER_TIMEOUT, "受信データなし", noDataCount_) +
            Format(" Time:[%s]～[%s] Wait[%s]", noDataFirst_, noDataLast_, waited),
        LogCategory::LogFunc_Error);
    noDataCount_ = 0;
}

int ChannelLibrary::LibraryReceive(int timeoutMs) {
    std::shared_lock lock(libraryMutex_);
    if (library_ == nullptr || handle_ < 0) {
        return 0;
    }
    if (receiveBuffer_.empty()) {
        receiveBuffer_.assign(kInitialReceiveBuffer, 0);
    }
    const auto receive = library_->Get<MVReceiveFn>(ChannelEntry::MVReceive);
    const int handle = handle_;
    LogCall(ChannelEntry::MVReceive);
    receivePending_ = true;
    // One byte stays free for the 0 that follows the data.
    std::uint32_t size = static_cast<std::uint32_t>(receiveBuffer_.size() - 1);
    int result = receive(handle, receiveBuffer_.data(), &size, timeoutMs);
    if (result == MVER_BUFFERSIZE) {
        receiveBuffer_.assign(static_cast<std::size_t>(size) + 1, 0);
        size = static_cast<std::uint32_t>(receiveBuffer_.size());
        result = receive(handle, receiveBuffer_.data(), &size, timeoutMs);
        // The grown buffer is the size the library asked for; keep room for the 0 after it.
        receiveBuffer_.push_back(0);
    }
    receivePending_ = false;
    lock.unlock();

    if (result == MVER_NOTSUPPORT) {
        Log(Format("%s MVER_NOTSUPPORT", ChannelEntryName(ChannelEntry::MVReceive)),
            LogCategory::LogFunc_Error);
        result = MVER_TIMEOUT;
    }
    if (result == MVER_TIMEOUT) {
        NoteNoData();
        return result;
    }
    FlushNoDataSummary();
    LogResult(ChannelEntry::MVReceive, result);
    if (result < 0) {
        LoseDevice(result);
        return result;
    }
    // The count is the library's word: never more than the buffer it was given.
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(result), receiveBuffer_.size() - 1);
    receiveBuffer_[count] = 0;
    LogDump(receiveBuffer_.data(), count, LogCategory::LogProc_ZEVIZ, kDumpIndent,
            LogCategory::LogFunc_Event);
    return static_cast<int>(count);
}

int ChannelLibrary::ChannelReceive(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    std::lock_guard lock(receiveMutex_);
    const int result = LibraryReceive(timeoutMs < 0 ? receiveTimeout_.load() : timeoutMs);
    if (result < 0 || capacity == 0) {
        return result < 0 ? result : 0;
    }
    const std::size_t count = static_cast<std::size_t>(result);
    // The data and its closing 0 while it fits; never past the caller's buffer.
    std::memcpy(buffer, receiveBuffer_.data(), std::min(count + 1, capacity));
    return static_cast<int>(std::min(count, capacity));
}

bool ChannelLibrary::ChannelReceiveCancel() {
    std::shared_lock lock(libraryMutex_);
    if (library_ == nullptr || handle_ < 0) {
        return false;
    }
    LogCall(ChannelEntry::MVReceiveCancel);
    const int result = library_->Get<MVReceiveCancelFn>(ChannelEntry::MVReceiveCancel)(handle_);
    LogResult(ChannelEntry::MVReceiveCancel, result);
    return result >= 0;
}

void ChannelLibrary::Poll(int timeoutMs) {
    {
        std::unique_lock lock(pendingMutex_);
        if (!pending_.empty() || !connected_) {
            // Nothing to fetch until the receive cycle has taken what is here.
            wake_.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                           [this] { return woken_; });
            woken_ = false;
            return;
        }
        woken_ = false;
    }
    // One library receive is one poll: it never waits longer than the poll interval, so the
    // thread stays free to stop, and the answer wait's own timeout decides when to give up.
    const int configured = receiveTimeout_;
    const int timeout = configured >= 0 ? std::min(configured, timeoutMs) : timeoutMs;
    std::lock_guard receiving(receiveMutex_);
    const int result = LibraryReceive(std::max(0, timeout));
    if (result > 0) {
        std::lock_guard lock(pendingMutex_);
        pending_.insert(pending_.end(), receiveBuffer_.begin(), receiveBuffer_.begin() + result);
    }
}

int ChannelLibrary::Receive(std::uint8_t* buffer, std::size_t capacity) {
    std::lock_guard lock(pendingMutex_);
    const std::size_t count = std::min(capacity, pending_.size());
    std::copy_n(pending_.begin(), count, buffer);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<int>(count);
}

bool ChannelLibrary::HoldsBytes() const {
    std::lock_guard lock(pendingMutex_);
    return !pending_.empty();
}

void ChannelLibrary::Wake() {
    {
        std::lock_guard lock(pendingMutex_);
        woken_ = true;
    }
    wake_.notify_all();
}

}  // namespace dialvane
