#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MfpEmulator.h"
#include "support/LoopbackAddress.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace dialvane::testing {

// An emulated MFP on LoopbackAddress(host), holding `list` when one is given, stopped with the
// object. Files it needs go to `dir`, which has to outlive it.
class ServedMfp {
  public:
    ServedMfp(const TempDir& dir, int host, const std::string& list = {},
              MfpEmulatorOptions options = {})
        : dir_(dir) {
        options.address = LoopbackAddress(host);
        device_ = std::make_unique<MfpEmulator>(options);
        std::string error;
        EXPECT_TRUE(device_->Start(&error)) << error;
        if (!list.empty()) {
            EXPECT_TRUE(device_->LoadUserFile(dir.Write("seed.csv", list), &error)) << error;
        }
    }
    ~ServedMfp() { device_->Stop(); }
    ServedMfp(const ServedMfp&) = delete;
    ServedMfp& operator=(const ServedMfp&) = delete;

    MfpEmulator* operator->() const { return device_.get(); }
    MfpEmulator& operator*() const { return *device_; }
    const std::string& Address() const { return device_->Options().address; }

    // What the device holds, as a user file.
    std::string Dump() const {
        std::string error;
        EXPECT_TRUE(device_->DumpUserFile(dir_.File("dump.csv"), &error)) << error;
        return dir_.Read("dump.csv");
    }

  private:
    const TempDir& dir_;
    std::unique_ptr<MfpEmulator> device_;
};

// dialvane-cli against emulated MFPs: a folder of the test's own with a settings file for the
// extended model and short retries, so a failing device fails quickly.
class CliAgainstMfp : public ::testing::Test {
  protected:
    static constexpr const char* kSettings =
        "[DX-R7700]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
        "[QNL_ENV]\nOPEN_RETRY_TIME=5\nNACK_RETRY_TIME=5\nNACK_RETRY_COUNT=3\nTIMEOUT=3000\n";
    // A small list with a speed dial beyond the one-touch models' 60, a group and a button.
    static constexpr const char* kList =
        "S1,Office,03-555-123,OFF\r\nS75,Far,0011,\r\nG1,Team,S1,S75\r\nW4,G1\r\nN,Head Office\r\n";

    CliAgainstMfp() { WriteSettings(); }
    void WriteSettings(const std::string& more = {}) const {
        dir_.Write("dialvane.ini", kSettings + more);
    }

    ServedMfp& Serve(int host, const std::string& list, MfpEmulatorOptions options = {}) {
        devices_.push_back(std::make_unique<ServedMfp>(dir_, host, list, std::move(options)));
        return *devices_.back();
    }
    // The first (often the only) MFP served.
    ServedMfp& Mfp(std::size_t index = 0) const { return *devices_.at(index); }

    std::string Path(const std::string& name) const { return dir_.File(name); }
    // Runs the program with the test's settings; `input` becomes its standard input.
    CliRun Cli(std::vector<std::string> arguments, const std::string& input = {}) const {
        arguments.insert(arguments.begin(), {"--settings", Path("dialvane.ini")});
        return RunCli(dir_, arguments, input.empty() ? "" : dir_.Write("stdin", input));
    }

    TempDir dir_;
    std::vector<std::unique_ptr<ServedMfp>> devices_;
};

}  // namespace dialvane::testing
