#include "comm/DeviceRun.h"

#include <algorithm>

#include "data/CapabilityUse.h"
#include "data/DownloadWriter.h"
#include "protocol/DeviceRecords.h"
#include "protocol/MessageCatalogue.h"
#include "support/DiagnosticLog.h"
#include "support/FileUtil.h"
#include "support/Format.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// Parameter of the 0x1F answer that tells whether long sender names are accepted.
constexpr std::uint8_t kPidSenderLength = 0xB2;
constexpr std::uint8_t kLongSenderSupported = 20;
// The device's name on the target label is cut to this length.
constexpr std::size_t kTargetLabelLength = 64;

void LogTitle(std::string_view text) {
    LogWrite(text, LogCategory::LogProc_UThread_Execute, LogCategory::LogFunc_Title, 'L');
}

const FrameRecord* FindMessage(const std::vector<FrameRecord>& messages, std::uint8_t mid) {
    const auto found = std::find_if(messages.begin(), messages.end(),
                                    [mid](const FrameRecord& m) { return m.mid == mid; });
    return found == messages.end() ? nullptr : &*found;
}

// Whether the message has the parameter with this first value byte.
bool Carries(const FrameRecord* message, std::uint8_t pid, std::uint8_t value) {
    if (message == nullptr) {
        return false;
    }
    return std::any_of(message->params.begin(), message->params.end(), [&](const FrameParam& p) {
        return p.pid == pid && !p.value.empty() && p.value[0] == value;
    });
}

// The counts of what the read-back held, so a successful verify says what it compared.
std::string VerifySummary(const RecordTable& table) {
    unsigned speedDials = 0;
    unsigned groups = 0;
    unsigned buttons = 0;
    for (int i = 1; i <= table.Count(); ++i) {
        const std::string& key = table.At(i)[0];
        speedDials += key.starts_with('S') ? 1 : 0;
        groups += key.starts_with('G') ? 1 : 0;
        buttons += key.starts_with('W') ? 1 : 0;
    }
    return Text(Msg::VerifySummary, speedDials, groups, buttons);
}

}  // namespace

DeviceRun::DeviceRun(ExchangeEngine& engine, RunRequest request)
    : engine_(engine), commands_(engine), request_(std::move(request)) {}

void DeviceRun::Terminate() {
    terminate_ = true;
    engine_.RequestStop();
}

std::vector<DeviceRun::Step> DeviceRun::StepTable(RunMode mode, bool verify) {
    if (mode == RunMode::Download) {
        return {{kMidSystemParamRead, true}, {kMidFaxCapability, true}, {kMidSpeedDialInfo, true},
                {kMidGroupInfo, true},       {kMidBindingInfo, true},   {kMidSenderInfo, true}};
    }
    if (mode != RunMode::Upload) {
        return {};
    }
    std::vector<Step> steps = {
        {kMidSystemParamRead, true}, {kMidFaxCapability, true},    {kMidSpeedDialCancel, false},
        {kMidGroupCancel, false},    {kMidBindingCancel, false},   {kMidSpeedDialRegister, false},
        {kMidGroupRegister, false},  {kMidBindingRegister, false}, {kMidSenderRegister, false}};
    if (verify) {
        steps.insert(steps.end(), {{kMidSpeedDialInfo, true},
                                   {kMidGroupInfo, true},
                                   {kMidBindingInfo, true},
                                   {kMidSenderInfo, true}});
    }
    return steps;
}

void DeviceRun::Execute() {
    const ScopedLogTag tag(engine_.Settings().logTag);
    result_ = RunResult{};
    switch (request_.mode) {
        case RunMode::ChannelTest:
            RunChannelTest();
            break;
        case RunMode::NetworkTest:
            RunNetworkTest();
            break;
        case RunMode::Download:
        case RunMode::Upload:
            RunTransfer();
            break;
    }
}

void DeviceRun::Stage(Msg message) {
    engine_.Progress().ShowStatus(Text(message), engine_.Settings().disp == 0 ? 0 : 2);
}

void DeviceRun::Bar(int step, long long done, long long total) {
    engine_.Progress().SetSequenceProgress('D', step, done, total);
}

void DeviceRun::RunChannelTest() {
    engine_.SetFailureDisplay(FailureDisplay::Drop);
    commands_.ResetFlags();
    engine_.ClearStopRequest();
    engine_.ClearSlots();
    engine_.SetSequenceRunning(true);
    bool ok = false;
    try {
        ok = commands_.ChannelTest();
    } catch (const std::exception&) {
        ok = false;
    }
    result_.modelName = ok ? engine_.ModelName() : std::string();
    result_.channelTestResult = ok ? 0 : 1;
    result_.success = ok;
    result_.stopped = !ok && engine_.StopRequested();
    engine_.SetSequenceRunning(false);
    engine_.SetFailureDisplay(FailureDisplay::Show);
}

std::string DeviceRun::DisplayName(const std::string& reported) const {
    // Every name contains the empty one: a device that gives no name is not some configured model.
    if (reported.empty()) {
        return reported;
    }
    for (const ModelPair& pair : request_.modelPairs) {
        if (!pair.shortName.empty() && !pair.printerModel.empty() &&
            pair.shortName.find(reported) != std::string::npos) {
            return pair.printerModel;
        }
    }
    return reported;
}

void DeviceRun::RunNetworkTest() {
    engine_.SetFailureDisplay(FailureDisplay::StoreAsResult);
    engine_.resultMessage.clear();
    engine_.nackSeen = false;
    engine_.ClearStopRequest();
    commands_.ResetFlags();
    IDeviceChannel* configured = engine_.Channel();
    if (request_.networkChannel != nullptr) {
        engine_.SetChannel(request_.networkChannel);
    }
    if (request_.updateMainWindow) {
        request_.updateMainWindow();
    }
    engine_.ClearSlots();
    engine_.SetSequenceRunning(true);
    bool ok = false;
    try {
        ok = commands_.EstablishChannel();
    } catch (const std::exception& error) {
        engine_.resultMessage = error.what();
    }
    if (ok) {
        result_.modelName = engine_.ModelName();
        result_.networkTestText = Text(Msg::CommNetworkTestOk, DisplayName(result_.modelName));
    } else {
        result_.networkTestText = Text(Msg::CommNetworkTestNg);
        result_.failureCause = engine_.resultMessage;
        result_.stopped = engine_.StopRequested();
    }
    commands_.Disconnect();
    result_.success = ok;
    engine_.SetSequenceRunning(false);
    engine_.SetChannel(configured);
    engine_.SetFailureDisplay(FailureDisplay::Show);
}

void DeviceRun::RunTransfer() {
    const bool upload = request_.mode == RunMode::Upload;
    IProgress& progress = engine_.Progress();

    commands_.ResetFlags();
    engine_.ClearStopRequest();
    engine_.nackSeen = false;
    engine_.resultMessage.clear();
    engine_.lastFailureText.clear();
    engine_.SetFailureDisplay(request_.reportFailure ? FailureDisplay::Show : FailureDisplay::Drop);
    needsLongSender_ = false;
    featureMask_ = 0;
    if (request_.table != nullptr) {
        const RecordTable& table = *request_.table;
        for (int i = 1; i <= table.Count(); ++i) {
            const DialRecord& record = table.At(i);
            if (record.size() >= 2 && record[0] == "N" && IsLongSenderName(record[1])) {
                needsLongSender_ = true;
            }
        }
        featureMask_ = FindCapabilityUse(table).set;
    }
    parametersReadable_ = longSenderSupported_ = extendedSupported_ = false;
    abortSender_ = abortFeatures_ = false;

    engine_.SetDirection(upload ? 1 : 0);
    engine_.ClearSlots();
    engine_.SetSequenceRunning(true);
    progress.SetDirection(upload ? 1 : 0);
    LogTitle("\r\n//=== 通信接続処理開始");
    Stage(Msg::CommConnectionStart);
    progress.SetSequenceProgress('I', 0, 0, 1);

    bool ok = false;
    try {
        RunSequence();
        ok = true;
    } catch (const QuietFailure&) {
    } catch (const std::exception& error) {
        result_.errorText = std::string("\r\n( ") + error.what() + " )";
        LogTitle(error.what());
    }
    FinishTransfer(ok);
}

void DeviceRun::RunSequence() {
    const bool upload = request_.mode == RunMode::Upload;
    const EngineSettings& settings = engine_.Settings();
    IProgress& progress = engine_.Progress();
    if (request_.table == nullptr || request_.product == nullptr) {
        throw TransferError("Software Error");
    }

    if (!commands_.EstablishChannel()) {
        throw QuietFailure{};
    }
    result_.modelName = engine_.ModelName();
    Bar(0);
    progress.SetTargetLabel(result_.modelName.substr(0, kTargetLabelLength));
    if (!commands_.ProbeNopAndOccupyStart()) {
        throw QuietFailure{};
    }
    Bar(1);
    LogTitle("//=== 通信接続処理完了");
    engine_.ClearStores();
    if (request_.transferStage) {
        Stage(*request_.transferStage);
    } else if (settings.disp == 0) {
        Stage(upload ? Msg::CommUploading : Msg::CommDownloading);
    } else {
        Stage(Msg::CommTransmissionStart);
    }

    const std::vector<Step> steps =
        StepTable(request_.mode, settings.verify || request_.forceVerify);
    const int count = static_cast<int>(steps.size());
    for (int i = 0; i < count; ++i) {
        Bar(i + 2);
        if (upload && steps[i].mid == kMidSpeedDialInfo && !result_.verifyStarted) {
            result_.verifyStarted = true;
            Stage(Msg::TransferVerifying);
        }
        LogWrite(Format("\r\n//=== 通信シーケンス ループ処理 (%d/%d)", i + 1, count),
                 LogCategory::LogProc_UThread_Execute, LogCategory::LogFunc_Step, 'L');
        RunStep(steps[i]);
        if (terminate_) {
            throw QuietFailure{};
        }
    }

    // The record layout follows the product in both directions, whatever the 0x1F answer.
    const bool extended = !request_.product->OneTouch();
    RecordTable& table = *request_.table;
    if (!upload) {
        table.Clear();
    }
    DecodeDownload(engine_.ReceivedMessages(), extended, table);
    const std::string& path = upload ? request_.downloadFile : request_.text;
    if (!path.empty()) {
        std::string error;
        // The session's own temporary files stay private; a file the user named keeps the
        // usual mode.
        const bool temporary = path == request_.downloadFile || path == request_.sendFile;
        if (!WriteDownloadFile(path, table, &error, temporary ? kPrivateFileMode : kNewFileMode,
                               request_.fileEncoding)) {
            throw TransferError(error);
        }
    }
    if (upload && (settings.verify || request_.forceVerify)) {
        VerifyReadBack();
    }
}

void DeviceRun::RunStep(const Step& step) {
    const bool upload = request_.mode == RunMode::Upload;
    switch (step.mid) {
        case kMidSystemParamRead: {
            if (!engine_.QNL_Frame_RW(step.mid, true, false)) {
                throw QuietFailure{};
            }
            parametersReadable_ =
                Carries(FindMessage(engine_.ReceivedMessages(), step.mid), kPidStopCause, 0);
            if (upload && !parametersReadable_ && (needsLongSender_ || featureMask_ != 0)) {
                abortSender_ = needsLongSender_;
                abortFeatures_ = featureMask_ != 0;
                throw QuietFailure{};
            }
            break;
        }
        case kMidFaxCapability: {
            if (parametersReadable_) {
                if (!engine_.QNL_Frame_RW(step.mid, true, false)) {
                    throw QuietFailure{};
                }
                longSenderSupported_ = Carries(FindMessage(engine_.ReceivedMessages(), step.mid),
                                               kPidSenderLength, kLongSenderSupported);
                extendedSupported_ = !request_.product->OneTouch();
                if (upload) {
                    abortSender_ = needsLongSender_ && !longSenderSupported_;
                    abortFeatures_ = featureMask_ != 0 && !extendedSupported_;
                    if (abortSender_ || abortFeatures_) {
                        throw QuietFailure{};
                    }
                }
            }
            if (upload) {
                // Everything is checked before the first cancellation goes out.
                RecordFormat format;
                format.extended = !request_.product->OneTouch();
                format.longSender = needsLongSender_;
                format.codePage = request_.product->Rules().codePage;
                engine_.SetOutgoing(EncodeTable(*request_.table, format));
                request_.table->Clear();
            }
            break;
        }
        default:
            if (step.mid == kMidSpeedDialCancel || step.mid == kMidGroupCancel ||
                step.mid == kMidBindingCancel) {
                // Set before the request goes out: a cancellation cut off midway may have run.
                result_.cancellationRan = true;
            }
            if (!engine_.QNL_Frame_RW(step.mid, step.wantData, longSenderSupported_)) {
                if (engine_.StopRequested()) {
                    throw QuietFailure{};
                }
                throw TransferError(Text(Msg::CommDeviceErrorStop));
            }
            break;
    }
}

void DeviceRun::VerifyReadBack() const {
    const std::optional<std::string> sent = ReadFileBytes(request_.sendFile);
    const std::optional<std::string> back = ReadFileBytes(request_.downloadFile);
    if (!sent || !back || SplitLines(*sent) != SplitLines(*back)) {
        throw TransferError(Text(Msg::CommVerifyFailure));
    }
}

void DeviceRun::FinishTransfer(bool sequenceOk) {
    const bool upload = request_.mode == RunMode::Upload;
    IProgress& progress = engine_.Progress();

    bool planRelease = false;
    bool neverOccupied = false;
    if (!engine_.StopRequested()) {
        neverOccupied = !commands_.FaxOccupied();
        planRelease = commands_.ReleaseOwed();
    } else {
        result_.stopped = true;
        progress.ShowStatus(Text(Msg::CommNowStopping), 2);
        planRelease = commands_.ReleaseOwed();
    }
    engine_.ClearStopRequest();
    commands_.SetUserStopped(result_.stopped);

    LogTitle("//=== 通信処理完了");
    Stage(Msg::CommTransmissionCompleted);
    LogTitle("\r\n//=== 通信切断処理開始");
    Stage(Msg::CommDisconnectionStart);
    // An occupied fax is always released before the connection is closed.
    bool released = true;
    if (planRelease) {
        released = commands_.OccupyEnd();
    }
    Bar(upload ? 11 : 8);
    commands_.Disconnect();
    Bar(upload ? 12 : 9);
    LogTitle("//=== 通信切断処理完了");
    engine_.SetSequenceRunning(false);
    progress.SetTransferPosition(0);

    // Exactly one completion message, and never the success text after a failure.
    result_.success = sequenceOk && released;
    PromptRequest box;
    box.title = Text(Msg::CommCompletionCaption);
    box.buttons = PromptButtons::Ok;
    box.defaultAnswer = PromptAnswer::Ok;
    box.onTop = true;
    if (result_.success) {
        box.text = Text(upload ? Msg::CommUploadCompleted : Msg::CommDownloadCompleted);
        box.icon = PromptIcon::Information;
        if (upload && (engine_.Settings().verify || request_.forceVerify)) {
            box.text += "\r\n" + VerifySummary(*request_.table);
        }
    } else if (abortSender_) {
        if (request_.updateMainWindow) {
            request_.updateMainWindow();
        }
        box.text = Text(Msg::CommSenderTooLong);
        box.icon = PromptIcon::Stop;
    } else if (abortFeatures_) {
        if (request_.updateMainWindow) {
            request_.updateMainWindow();
        }
        box.text = Text(CapabilityWarning(featureMask_).value_or(Msg::CapabilitySpeedDialRange));
        box.icon = PromptIcon::Stop;
    } else if (neverOccupied && !result_.stopped) {
        box.text = Text(Msg::CommDeviceErrorStop) + result_.errorText;
        box.icon = PromptIcon::Information;
    } else {
        box.text =
            Text(upload ? Msg::CommUploadFailed : Msg::CommDownloadFailed) + result_.errorText;
        box.icon = PromptIcon::Stop;
    }
    result_.completionText = box.text;
    result_.completionIcon = box.icon;
    if (result_.success ? request_.reportSuccess : request_.reportFailure) {
        engine_.Ask(box);
    }
    engine_.SetFailureDisplay(FailureDisplay::Show);
}

}  // namespace dialvane
