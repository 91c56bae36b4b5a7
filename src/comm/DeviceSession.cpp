#include "comm/DeviceSession.h"

#include "data/DownloadWriter.h"
#include "support/Messages.h"
#include "transport/ChannelLibrary.h"
#include "transport/HostLookup.h"
#include "transport/UsbChannelSetup.h"

namespace dialvane {

std::string HostRefusal(const std::string& host) {
    // An IPv6 address is refused later with a message of its own.
    if (NumericIPv4(host) || IsHostNameSyntax(host) || IsIPv6Literal(host)) {
        return {};
    }
    if (host.find(':') != std::string::npos) {
        return Text(Msg::CliHostWithPort, host);
    }
    return Text(Msg::CliHostInvalid, host);
}

DeviceSessionSettings SessionSettingsFor(const Environment& environment, bool verify) {
    DeviceSessionSettings settings;
    settings.engine.env = environment.settings.qnlEnv;
    settings.engine.verify = environment.settings.verify != 0 || verify;
    settings.engine.disp = environment.settings.disp;
    settings.downloadFile = environment.paths.downloadFile;
    settings.sendFile = environment.paths.sendFile;
    for (int i = 0; i < kModelListSize; ++i) {
        settings.modelPairs.push_back(
            {environment.settings.printerModels[i], environment.settings.shortModelNames[i]});
    }
    return settings;
}

std::string InstalledMakerPrinter(const ProgramSettings& settings) {
    return InstalledPrinterName(SupportedModels(settings));
}

DeviceSession::DeviceSession(DeviceSessionSettings settings)
    : settings_(std::move(settings)),
      engine_(std::make_unique<ExchangeEngine>(settings_.engine)),
      receiver_(std::make_unique<RcvMsgThread>(*engine_)) {
    // A stop request ends a connect at once instead of after its timeout.
    network_.SetStopFd(engine_->StopRequestFd());
    network_.SetConnectTimeout(settings_.connectTimeoutMs);
    if (settings_.resolver) {
        network_.SetResolver(settings_.resolver);
    }
    receiver_->Start();
}

DeviceSession::~DeviceSession() {
    Shutdown();
}

void DeviceSession::UseNetwork(const std::string& address) {
    network_.SetAddresses({address});
    engine_->SetChannel(&network_);
}

void DeviceSession::UseNetwork(std::vector<std::string> addresses) {
    network_.SetAddresses(std::move(addresses));
    engine_->SetChannel(&network_);
}

void DeviceSession::UseUsb(const ProgramSettings& settings, const std::string& programFolder,
                           const std::string& printer) {
    if (!usb_) {
        usb_ =
            std::make_unique<ChannelLibrary>(UsbChannelSetupFor(settings, programFolder, printer));
        usb_->SetPrompt(prompt_);
    }
    engine_->SetChannel(usb_.get());
}

void DeviceSession::SetPrompt(IPrompt* prompt) {
    prompt_ = prompt;
    engine_->SetPrompt(prompt);
    if (usb_) {
        usb_->SetPrompt(prompt);
    }
}

void DeviceSession::UseChannel(IDeviceChannel* channel) {
    engine_->SetChannel(channel);
}

void DeviceSession::FollowProduct(const TProductInfo& product) {
    if (usb_) {
        usb_->SetLibraryChoice(product.ZevizLibrary());
        usb_->SetReceiveTimeout(product.MVReceiveTimeout());
    }
}

std::string DeviceSession::UsbPrinterName() const {
    return usb_ ? usb_->PrinterName() : std::string();
}

RunRequest DeviceSession::MakeRequest(RunMode mode) {
    RunRequest request;
    request.mode = mode;
    if (mode == RunMode::NetworkTest) {
        request.networkChannel = &network_;
    }
    request.downloadFile = settings_.downloadFile;
    request.sendFile = settings_.sendFile;
    request.modelPairs = settings_.modelPairs;
    request.fileEncoding = settings_.fileEncoding;
    return request;
}

RunResult DeviceSession::Run(const RunRequest& request) {
    DeviceRun run(*engine_, request);
    run.Execute();
    return run.Result();
}

std::unique_ptr<UThread> DeviceSession::MakeWorker(RunRequest request) {
    return std::make_unique<UThread>(*engine_, std::move(request));
}

RunResult DeviceSession::Inquire(TProductInfo& product) {
    RunResult result = Run(MakeRequest(RunMode::ChannelTest));
    if (result.channelTestResult == 0) {
        product.Load(result.modelName);
    }
    return result;
}

RunResult DeviceSession::NetworkTest() {
    return Run(MakeRequest(RunMode::NetworkTest));
}

RunResult DeviceSession::Download(RecordTable& table, const TProductInfo& product,
                                  const std::string& outputFile) {
    RunRequest request = MakeRequest(RunMode::Download);
    request.text = outputFile;
    request.table = &table;
    request.product = &product;
    return Run(request);
}

RunResult DeviceSession::ReadList(RecordTable& table, const TProductInfo& product) {
    RunRequest request = MakeRequest(RunMode::Download);
    request.table = &table;
    request.product = &product;
    request.reportSuccess = false;
    return Run(request);
}

RunResult DeviceSession::Upload(RecordTable& table, const TProductInfo& product,
                                std::string* sendFileError) {
    sendFileError->clear();
    if (!WriteDownloadFile(settings_.sendFile, table, sendFileError, kPrivateFileMode,
                           settings_.fileEncoding)) {
        return RunResult{};
    }
    RunRequest request = MakeRequest(RunMode::Upload);
    request.table = &table;
    request.product = &product;
    return Run(request);
}

void DeviceSession::Shutdown() {
    if (receiver_) {
        receiver_->Stop();
        receiver_.reset();
    }
    network_.Close();
    if (usb_) {
        usb_->ChannelRelease();
    }
}

}  // namespace dialvane
