#include <cstdio>

#include "ReferenceClient.h"
#include "Rows.h"
#include "TimedChannel.h"

namespace dialvane::bench {
namespace {

constexpr int kHost = 90;

// Where one command's time goes, in microseconds, averaged over the commands of a run.
struct Split {
    double device = 0;   // command sent -> its answer buffered by the receive thread's poll
    double receive = 0;  // answer buffered -> the receive cycle takes it
    double worker = 0;   // answer taken -> the next command sent (classify, hand over, build)
};

Split SplitOf(const std::vector<TimedChannel::Command>& commands) {
    Split split;
    int counted = 0;
    for (std::size_t i = 0; i + 1 < commands.size(); ++i) {
        const TimedChannel::Command& c = commands[i];
        if (c.arrived == TimedChannel::Clock::time_point{} ||
            c.taken == TimedChannel::Clock::time_point{}) {
            continue;  // the last command of a connection: nothing follows it on the same wire
        }
        auto us = [](auto from, auto to) {
            return std::chrono::duration<double, std::micro>(to - from).count();
        };
        split.device += us(c.sent, c.arrived);
        split.receive += us(c.arrived, c.taken);
        split.worker += us(c.taken, commands[i + 1].sent);
        ++counted;
    }
    if (counted > 0) {
        split.device /= counted;
        split.receive /= counted;
        split.worker /= counted;
    }
    return split;
}

bool MeasureMode(const BenchOptions& options, MfpEmulator& device, RunMode mode, int delayMs) {
    std::vector<Measure> programs;
    std::vector<double> references;
    std::vector<double> overheads;
    std::vector<Split> splits;
    std::vector<ReplayCommand> commands;
    bool ok = true;
    for (int run = 0; run < options.repeats; ++run) {
        TcpTransport tcp;
        tcp.SetAddresses({device.Options().address});
        TimedChannel timed(tcp);
        const std::size_t from = device.Transcript().size();
        const Measure program = RunInProcess(options, device, mode, delayMs, &timed);
        programs.push_back(program);
        splits.push_back(SplitOf(timed.Commands()));
        if (run == 0) {
            commands = CommandsOf(device.Transcript(), from);
            ok = LearnAnswers(device.Options().address, commands) && ok;
        }
        const double reference = Replay(device.Options().address, commands);
        ok = ok && program.ok && reference > 0;
        references.push_back(reference);
        overheads.push_back((program.seconds - reference) * 1000.0 / program.commands);
    }
    Measure program = MedianRun(programs);
    program.ok = program.ok && ok;
    Print(program);
    Measure reference = program;
    reference.what = "  zero-work client";
    reference.seconds = Median(references);
    reference.ok = ok;
    Print(reference);
    std::vector<double> device_, receive, worker;
    for (const Split& s : splits) {
        device_.push_back(s.device);
        receive.push_back(s.receive);
        worker.push_back(s.worker);
    }
    std::printf(
        "  program overhead %.3f ms per command (median of %d)   per command: zero-work client "
        "%.0f us | program: device %.0f us, receive thread %.0f us, worker %.0f us\n",
        Median(overheads), options.repeats, reference.seconds * 1e6 / program.commands,
        Median(device_), Median(receive), Median(worker));
    return program.ok;
}

}  // namespace

bool TransferRows(const BenchOptions& options) {
    std::unique_ptr<MfpEmulator> device = StartMfp(options, Address(options, kHost), 0);
    if (!device) {
        return false;
    }
    bool ok = true;
    for (int delay : options.delays) {
        SetDelay(*device, delay);
        for (RunMode mode : {RunMode::Download, RunMode::Upload}) {
            ok = MeasureMode(options, *device, mode, delay) && ok;
        }
    }
    device->Stop();
    return ok;
}

}  // namespace dialvane::bench
