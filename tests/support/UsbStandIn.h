#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "MfpEmulator.h"
#include "support/FileUtil.h"
#include "support/FullDialList.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// The printer over USB without hardware: the emulator serving `bytes` (by default the largest
// list) on a pseudo-terminal in `dir`, named `printer` in the channel library's mapping file,
// which the library finds through XDG_CONFIG_HOME (set to `dir` while the stand-in lives).
class UsbStandIn {
  public:
    UsbStandIn(const TempDir& dir, const std::string& settingsFile, const std::string& printer,
               const std::string& bytes = FullDialList())
        : list(dir.Write("full.csv", bytes)), dir_(dir) {
        setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        MfpEmulatorOptions options;
        options.usbPtyLink = dir.File("lp0");
        options.settingsPath = settingsFile;
        device = std::make_unique<MfpEmulator>(options);
        std::string error;
        EXPECT_TRUE(device->Start(&error)) << error;
        EXPECT_TRUE(device->LoadUserFile(list, &error)) << error;
        MakeDirectories(dir.File("ORVEX/Dialvane"));
        dir.Write("ORVEX/Dialvane/zeviz.ini", "[" + printer + "]\nDevice=" + options.usbPtyLink +
                                                  "\nDeviceID=" + device->DeviceId() + "\n");
    }
    ~UsbStandIn() {
        device->Stop();
        unsetenv("XDG_CONFIG_HOME");
    }
    UsbStandIn(const UsbStandIn&) = delete;
    UsbStandIn& operator=(const UsbStandIn&) = delete;

    // What the printer holds, as a user file.
    std::string Dump() const {
        std::string error;
        EXPECT_TRUE(device->DumpUserFile(dir_.File("usb-dump.csv"), &error)) << error;
        return dir_.Read("usb-dump.csv");
    }

    const std::string list;
    std::unique_ptr<MfpEmulator> device;

  private:
    const TempDir& dir_;
};

}  // namespace dialvane::testing
