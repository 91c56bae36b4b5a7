#include "comm/DeviceSession.h"

#include "data/DownloadWriter.h"
#include "support/Messages.h"
#include "transport/HostLookup.h"

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

DeviceSession::DeviceSession(DeviceSessionSettings settings)
    : settings_(std::move(settings)),
      engine_(std::make_unique<ExchangeEngine>(settings_.engine)),
      receiver_(std::make_unique<RcvMsgThread>(*engine_)) {
    // A stop request ends a connect at once instead of after its timeout.
    network_.SetStopFd(engine_->StopRequestFd());
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

void DeviceSession::UseChannel(IDeviceChannel* channel) {
    engine_->SetChannel(channel);
}

RunRequest DeviceSession::MakeRequest(RunMode mode) const {
    RunRequest request;
    request.mode = mode;
    request.downloadFile = settings_.downloadFile;
    request.sendFile = settings_.sendFile;
    request.modelPairs = settings_.modelPairs;
    request.fileEncoding = settings_.fileEncoding;
    return request;
}

RunResult DeviceSession::Run(const RunRequest& request) {
    UThread worker(*engine_, request);
    worker.Execute();
    return worker.Result();
}

RunResult DeviceSession::Inquire(TProductInfo& product) {
    RunResult result = Run(MakeRequest(RunMode::ChannelTest));
    if (result.channelTestResult == 0) {
        product.Load(result.modelName);
    }
    return result;
}

RunResult DeviceSession::NetworkTest() {
    RunRequest request = MakeRequest(RunMode::NetworkTest);
    request.networkChannel = &network_;
    return Run(request);
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
                           settings_.fileEncoding.value_or(DefaultFileEncoding()))) {
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
}

}  // namespace dialvane
