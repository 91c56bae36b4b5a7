// The emulator's answers to the program's commands, and the faults the tests ask for.
#include <cstdlib>

#include "MfpEmulatorImpl.h"
#include "support/Format.h"

namespace dialvane {

namespace {

const char* CommandName(int command) {
    switch (command) {
        case emu::kCommandChannelQuery:
            return "INQUIRE NAME";
        case 0:
            return "CMD_NOP";
        case 1:
            return "CMD_OCCUPY_START";
        case 2:
            return "CMD_OCCUPY_END";
        case 3:
            return "CMD_FRAME_WRITE";
        case 4:
            return "CMD_FRAME_READ";
        default:
            return "unreadable bytes";
    }
}

bool Matches(const CommandMatch& match, int& seen, int command, int mid) {
    if (!match.Enabled() || (match.command != CommandMatch::kAny && match.command != command) ||
        (match.mid != CommandMatch::kAny && match.mid != mid)) {
        return false;
    }
    ++seen;
    return seen >= match.first && seen - match.first < match.count;
}

std::string Garble(std::string block, MalformKind kind) {
    constexpr std::string_view kToolHeader = "@QNL SDC FAXTOOL=";
    if (!block.starts_with(kToolHeader)) {
        // The name answer has no length and no FF: only its line end can go missing.
        if (kind == MalformKind::MissingFormFeed && block.ends_with("\r\n")) {
            block.resize(block.size() - 2);
        }
        return block;
    }
    const std::size_t lineEnd = block.find("\r\n");
    const int n = std::atoi(block.substr(kToolHeader.size(), lineEnd).c_str());
    switch (kind) {
        case MalformKind::MissingFormFeed:
            block.pop_back();
            break;
        case MalformKind::WrongLength:
            if (n == 8) {
                block.insert(block.size() - 1, "0");
            } else {
                block = std::string(kToolHeader) + std::to_string(n - 4) + block.substr(lineEnd);
            }
            break;
        case MalformKind::BadBase64:
            if (n != 8) {
                block[lineEnd + 2 + 8] = '!';
            }
            break;
    }
    return block;
}

}  // namespace

MfpEmulator::Impl::Reply MfpEmulator::Impl::Handle(const emu::ScanResult& scan, std::string raw) {
    Reply reply;
    ReceivedCommand received;
    received.number = ++commandNumber;
    received.connection = connection;
    received.raw = std::move(raw);
    std::string problem = scan.command.problem;

    auto record = [&] {
        received.problem = problem;
        if (!problem.empty()) {
            ++counters.problems;
            problems.push_back(
                Format("command %d (%s", received.number, CommandName(received.command)) +
                (received.mid >= 0 ? Format(" %02X", received.mid) : "") + "): " + problem);
        }
        transcript.push_back(std::move(received));
    };

    if (scan.state == emu::ScanState::Garbage) {
        record();
        return reply;
    }
    const emu::IncomingCommand& in = scan.command;
    received.command = in.command;
    if (in.command == static_cast<int>(ToolCommand::FrameWrite) && in.frame.size() >= 2) {
        received.jtype = static_cast<unsigned char>(in.frame[0]);
        received.mid = static_cast<unsigned char>(in.frame[1]);
    } else if (in.command == static_cast<int>(ToolCommand::FrameRead) && !pendingAnswer.empty() &&
               pendingAnswer.front().size() >= 2) {
        received.mid = pendingAnswer.front()[1];
    }

    // Every fault counts its own matches, whether or not another fault fires.
    const int command = received.command;
    const int mid = received.mid;
    const bool disconnect = Matches(faults.disconnect, hits.disconnect, command, mid);
    const bool silence = Matches(faults.silence, hits.silence, command, mid);
    const bool busy = Matches(faults.busy, hits.busy, command, mid);
    const bool wrongConnection =
        Matches(faults.wrongConnectionNumber, hits.wrongConnection, command, mid);
    const bool malformed = Matches(faults.malformed, hits.malformed, command, mid);
    if (disconnect) {
        record();
        reply.close = true;
        return reply;
    }
    if (silence) {
        record();
        return reply;
    }

    const std::string connectionNumber = in.connection.size() == 4 ? in.connection : "0001";
    const std::string answerConnection =
        wrongConnection ? emu::OtherConnection(connectionNumber) : connectionNumber;
    std::string answer;
    if (in.command == emu::kCommandChannelQuery) {
        ++counters.channelQueries;
        answer = emu::NameAnswer(options.model);
    } else if (!problem.empty()) {
        answer = emu::AckBlock(answerConnection, emu::kNackIllegalFormat);
    } else {
        answer = HandleTool(in, answerConnection, problem);
    }
    record();
    if (malformed) {
        answer = Garble(std::move(answer), faults.malformKind);
    }
    if (busy && in.command != emu::kCommandChannelQuery) {
        const std::string nack = emu::AckBlock(connectionNumber, emu::kNackBusy);
        for (int i = 0; i < faults.busyNacks; ++i) {
            reply.writes.push_back(nack);
        }
    }
    reply.writes.push_back(std::move(answer));
    if (faults.busyAndAnswerInOneWrite && reply.writes.size() > 1) {
        std::string joined;
        for (const std::string& block : reply.writes) {
            joined += block;
        }
        reply.writes = {std::move(joined)};
    }
    return reply;
}

std::string MfpEmulator::Impl::HandleTool(const emu::IncomingCommand& in,
                                          const std::string& connectionNumber,
                                          std::string& problem) {
    switch (static_cast<ToolCommand>(in.command)) {
        case ToolCommand::Nop:
            ++counters.nops;
            return emu::AckBlock(connectionNumber, faults.nopResult);
        case ToolCommand::OccupyStart:
            ++counters.occupyStarts;
            if (++hits.occupyStarts <= faults.busyOccupyStarts) {
                return emu::AckBlock(connectionNumber, emu::kNackBusy);
            }
            occupied = true;
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        case ToolCommand::OccupyEnd:
            ++counters.occupyEnds;
            if (!occupied) {
                problem = "occupy end while the fax was not occupied";
            }
            occupied = false;
            assembler.Reset();
            pendingAnswer.clear();
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        case ToolCommand::FrameWrite: {
            ++counters.frameWrites;
            if (!occupied) {
                problem = "frame write while the fax was not occupied";
                return emu::AckBlock(connectionNumber, emu::kNackMfpError);
            }
            problem = emu::CheckWrittenFrame(in.frame);
            if (!problem.empty()) {
                assembler.Reset();
                return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
            }
            emu::MessageAssembler::Step step = assembler.Add(in.frame);
            if (!step.problem.empty()) {
                problem = step.problem;
                return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
            }
            if (step.complete) {
                if (!pendingAnswer.empty()) {
                    problem = Format("%u answer frames of the previous message were not read",
                                     pendingAnswer.size());
                }
                ++counters.requests[step.mid];
                const auto cause = faults.stopCause.find(step.mid);
                emu::HandleResult result = list.Handle(
                    step.mid, step.params, Config(),
                    cause == faults.stopCause.end() ? std::nullopt
                                                    : std::optional<std::uint8_t>(cause->second));
                if (!result.problem.empty()) {
                    problem = problem.empty() ? result.problem : problem + "; " + result.problem;
                }
                if (result.cancelled) {
                    ++counters.cancellations[step.mid];
                }
                if (result.registered) {
                    ++counters.registrations[step.mid];
                }
                pendingAnswer.assign(result.answerFrames.begin(), result.answerFrames.end());
            }
            return emu::AckBlock(connectionNumber, emu::kResultOk);
        }
        case ToolCommand::FrameRead: {
            ++counters.frameReads;
            if (!occupied) {
                problem = "frame read while the fax was not occupied";
                return emu::AckBlock(connectionNumber, emu::kNackMfpError);
            }
            if (pendingAnswer.empty()) {
                problem = "frame read with no answer waiting";
                return emu::AckBlock(connectionNumber, emu::kNackReadTimeout);
            }
            const Bytes frame = std::move(pendingAnswer.front());
            pendingAnswer.pop_front();
            return emu::DataBlock(
                connectionNumber,
                std::string_view(reinterpret_cast<const char*>(frame.data()), frame.size()));
        }
    }
    problem = "unknown tool command";
    return emu::AckBlock(connectionNumber, emu::kNackIllegalFormat);
}

}  // namespace dialvane
