// The USB path: our channel library on the emulator's stand-in printer node (a pseudo-terminal),
// beside the same transfer over TCP, and the difference per command.
#include <stdlib.h>

#include <cstdio>

#include "Rows.h"
#include "support/Environment.h"
#include "support/FileUtil.h"
#include "transport/ChannelLibrary.h"

namespace dialvane::bench {
namespace {

constexpr int kHost = 92;

std::unique_ptr<MfpEmulator> StartStandIn(const BenchOptions& options, const std::string& link) {
    MfpEmulatorOptions emulatorOptions;
    emulatorOptions.model = kModel;
    emulatorOptions.usbPtyLink = link;
    auto device = std::make_unique<MfpEmulator>(emulatorOptions);
    std::string error;
    if (!device->Start(&error) || !device->LoadUserFile(FullListPath(options), &error)) {
        std::fprintf(stderr, "USB stand-in %s: %s\n", link.c_str(), error.c_str());
        return nullptr;
    }
    return device;
}

}  // namespace

bool UsbRow(const BenchOptions& options) {
    const fs::path config = options.folder / "usb-config";
    const std::string link = (options.folder / "lp0").string();
    std::unique_ptr<MfpEmulator> usb = StartStandIn(options, link);
    std::unique_ptr<MfpEmulator> tcp = StartMfp(options, Address(options, kHost), 0);
    if (!usb || !tcp) {
        return false;
    }
    // The library finds the stand-in through its mapping file.
    MakeDirectories((config / "ORVEX/Dialvane").string());
    WriteFileAtomic((config / "ORVEX/Dialvane/zeviz.ini").string(),
                    "[Bench]\nDevice=" + link + "\nDeviceID=" + usb->DeviceId() + "\n");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    ChannelLibrarySetup setup;
    setup.libraryFolder = ChannelLibraryFolder(FolderOfPath(CurrentProgramPath()));
    setup.driverSettingsFolder = (config / "drivers").string();
    setup.listPrinters = [] { return std::vector<UsbPrinter>{{"Bench", "", "ORVEX DX-R7700"}}; };
    ChannelLibrary channel(setup);
    channel.SetLibraryChoice(2);

    bool ok = true;
    for (int delay : options.delays) {
        SetDelay(*usb, delay);
        SetDelay(*tcp, delay);
        for (RunMode mode : {RunMode::Download, RunMode::Upload}) {
            std::vector<Measure> overUsb, overTcp;
            std::vector<double> extra;
            for (int run = 0; run < options.repeats; ++run) {
                overUsb.push_back(RunInProcess(options, *usb, mode, delay, &channel));
                overTcp.push_back(RunInProcess(options, *tcp, mode, delay));
                extra.push_back((overUsb.back().seconds - overTcp.back().seconds) * 1e6 /
                                overUsb.back().commands);
            }
            Measure u = MedianRun(overUsb);
            u.what = "usb " + u.what;
            Measure t = MedianRun(overTcp);
            t.what = "  tcp " + t.what;
            Print(u);
            Print(t);
            std::printf("  USB minus TCP %.0f us per command (median of %d)\n", Median(extra),
                        options.repeats);
            ok = ok && u.ok && t.ok;
        }
    }
    channel.ChannelRelease();
    unsetenv("XDG_CONFIG_HOME");
    usb->Stop();
    tcp->Stop();
    return ok;
}

}  // namespace dialvane::bench
