#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/RcvMsgThread.h"
#include "comm/UserThread.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/ExchangeEngine.h"
#include "support/Environment.h"
#include "transport/TcpTransport.h"

namespace dialvane {

class ChannelLibrary;

// What one session needs to know before it talks to an MFP.
struct DeviceSessionSettings {
    EngineSettings engine;
    // The session's own temporary files: what a download or a verify read back is written to
    // ("TELDIR_TOOL.TMP") and what an upload sends ("MFP_VERIFY.TMP").
    std::string downloadFile;
    std::string sendFile;
    std::vector<ModelPair> modelPairs;  // the network test names the configured model
    // The encoding of every file the session writes; nullopt: the code page of the product.
    std::optional<FileEncoding> fileEncoding;
    // Looks host names up for the network connection; empty: the system's resolver.
    HostResolver resolver;
    // How long a network connect may take before the MFP counts as unreachable.
    int connectTimeoutMs = TcpTransport::kDefaultConnectTimeoutMs;
};

// Why `host` cannot name an MFP (a port given with it, a dotted number that is no IPv4
// address, characters no host name has); empty when it can. No resolver is asked.
std::string HostRefusal(const std::string& host);

// The settings start-up read: the protocol settings, VERIFY (or read-back verify asked for by
// `verify`), DISP, the data folder's temporary files and the configured model names.
DeviceSessionSettings SessionSettingsFor(const Environment& environment, bool verify = false);

// The name of an installed printer that uses one of the maker's drivers for a configured
// model; empty when there is none.
std::string InstalledMakerPrinter(const ProgramSettings& settings);

// Everything one conversation with one MFP needs: the exchange engine, the network channel or
// the USB channel (or a channel supplied by the caller), the receive thread and the session's
// temporary files. The command line, the window and parallel runs each hold their own session;
// two sessions share nothing but the process-wide settings and the log. The engine and the
// channels stay inside: callers use the session's operations.
//
// The receive thread runs from construction to Shutdown() (or destruction). Runs are made on
// the calling thread with Run(), or on a worker from MakeWorker() with a request from
// MakeRequest().
class DeviceSession {
  public:
    explicit DeviceSession(DeviceSessionSettings settings);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    const DeviceSessionSettings& Settings() const { return settings_; }

    // The network connection to this address (port 9100) becomes the session's channel.
    void UseNetwork(const std::string& address);
    // The same with the addresses tried in turn; with none every connect is refused (no
    // address is known yet).
    void UseNetwork(std::vector<std::string> addresses);
    // The maker's USB printer, through the device-channel library of the program in
    // `programFolder`, becomes the session's channel; with `printer` only that printer is
    // tried. The first call sets the channel up, later ones choose it again. The library stays
    // loaded until Shutdown.
    void UseUsb(const ProgramSettings& settings, const std::string& programFolder,
                const std::string& printer = {});
    // Another channel becomes the session's channel; the caller keeps it alive for as long as
    // the session uses it.
    void UseChannel(IDeviceChannel* channel);
    // The USB library choice and receive timeout follow the model in use.
    void FollowProduct(const TProductInfo& product);
    // The USB printer of the last successful open; empty without one.
    std::string UsbPrinterName() const;

    // The device's last failure of the latest run, as it would have been shown.
    std::string LastFailureText() const { return engine_->lastFailureText; }

    // The prompt every question of this session goes to, the USB set-up's included; without
    // one each question gets its default answer.
    void SetPrompt(IPrompt* prompt);
    void SetProgress(IProgress* progress) { engine_->SetProgress(progress); }
    IProgress& Progress() { return engine_->Progress(); }

    // A request of this mode with the session's temporary files and model names filled in; a
    // network test goes over the network connection whatever the session's channel is.
    RunRequest MakeRequest(RunMode mode);
    // Runs the request on the calling thread.
    RunResult Run(const RunRequest& request);
    // A worker for the request, not yet started; it must end before the session does.
    std::unique_ptr<UThread> MakeWorker(RunRequest request);

    // The start-up inquiry: on success the reported model's capabilities are loaded into
    // `product`. The result's channelTestResult is 0 on success.
    RunResult Inquire(TProductInfo& product);
    // The network test over the session's network connection.
    RunResult NetworkTest();
    // Reads the MFP's dial list into `table` and writes it to `outputFile` as a user file.
    RunResult Download(RecordTable& table, const TProductInfo& product,
                       const std::string& outputFile);
    // Reads the MFP's dial list into `table` only, without a completion message when it
    // succeeds: the read is one step of a larger command (a backup, a preview).
    RunResult ReadList(RecordTable& table, const TProductInfo& product);
    // Writes `table` to the send file, then sends it (and reads it back when verifying). When
    // the send file cannot be written, *sendFileError says why and the MFP is not contacted.
    RunResult Upload(RecordTable& table, const TProductInfo& product, std::string* sendFileError);

    // Thread-safe: the running exchange asks "Stop Transmission?" at its next wait.
    void RequestStop() { engine_->RequestStop(); }
    // Stops the receive thread, closes the network connection and releases the USB library (a
    // channel the caller supplied stays the caller's to release); the session can no longer
    // run. The library's release ends every USB channel of the process: a program holds at
    // most one session that talks over USB.
    void Shutdown();

  private:
    DeviceSessionSettings settings_;
    TcpTransport network_;
    std::unique_ptr<ChannelLibrary> usb_;  // outlives the receive thread that polls it
    std::unique_ptr<ExchangeEngine> engine_;
    std::unique_ptr<RcvMsgThread> receiver_;
    IPrompt* prompt_ = nullptr;
};

}  // namespace dialvane
