#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "support/FileUtil.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "support/fakezeviz/FakeZeviz.h"
#include "transport/ChannelLibrary.h"
#include "transport/UsbPresence.h"

namespace dialvane {
namespace {

using fakezeviz::ReceiveAnswer;

// The binding against the scripted library.
class ChannelLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        library_ = dlopen(FAKE_ZEVIZ_FOLDER "/libzeviz.so", RTLD_NOW);
        ASSERT_NE(library_, nullptr);
        auto state = reinterpret_cast<fakezeviz::State* (*)()>(dlsym(library_, "FakeZevizState"));
        fake_ = state();
        *fake_ = fakezeviz::State{};
    }
    void TearDown() override {
        channel_.reset();
        dlclose(library_);
    }

    ChannelLibrary& Channel(std::string folder = FAKE_ZEVIZ_FOLDER,
                            std::vector<UsbPrinter> printers = {{"DX7700",
                                                                 "usb://ORVEX/DX-R7700?serial=EMU1",
                                                                 "ORVEX DX-R7700"}},
                            std::string drivers = "") {
        ChannelLibrarySetup setup;
        setup.libraryFolder = std::move(folder);
        setup.driverSettingsFolder = drivers.empty() ? dir_.File("drivers/") : drivers;
        setup.listPrinters = [printers] { return printers; };
        channel_ = std::make_unique<ChannelLibrary>(setup);
        channel_->SetLibraryChoice(2);
        return *channel_;
    }

    testing::TempDir dir_;
    void* library_ = nullptr;
    fakezeviz::State* fake_ = nullptr;
    std::unique_ptr<ChannelLibrary> channel_;
};

TEST_F(ChannelLibraryTest, OpenResolvesEveryEntryAndOpensTheFirstPreferredChannel) {
    // 0x10010002 comes before 0x10010003 in the preference list; 0x00000004 is offered
    // without a shared mode bit, so it does not count.
    fake_->channels = {{0x10010003, 1}, {0x00000004, 4}, {0x10010002, 2}};
    ChannelLibrary& channel = Channel();
    ASSERT_TRUE(channel.Open());
    EXPECT_TRUE(channel.Connected());
    EXPECT_EQ(fake_->openedChannel, 0x10010002u);
    EXPECT_EQ(fake_->printersPassed, std::string("DX7700\0\0", 8));
    EXPECT_EQ(channel.DeviceId(), "MFG:ORVEX;MDL:DX-R7700;");
    EXPECT_EQ(fake_->calls, (std::vector<std::string>{"MVInitialize", "MVGetDeviceID",
                                                      "MVGetAvailableChannel", "MVOpenChannel"}));

    const std::string driver = dir_.Read("drivers/ORVEX DX-R7700.ini");
    EXPECT_NE(driver.find("LPT_Channel00=268500994"), std::string::npos);
    EXPECT_NE(driver.find("LPT_PrtMDLName=ORVEX DX-R7700"), std::string::npos);

    // Every later establishment sets up again; the library stays until it is released.
    channel.Close();
    ASSERT_TRUE(channel.Open());
    EXPECT_EQ(std::count(fake_->calls.begin(), fake_->calls.end(), "MVInitialize"), 2);
    channel.ChannelRelease();
    EXPECT_EQ(fake_->calls.back(), "MVRelease");
    EXPECT_EQ(std::count(fake_->calls.begin(), fake_->calls.end(), "MVCloseChannel"), 0);
    EXPECT_FALSE(channel.Loaded());
}

TEST_F(ChannelLibraryTest, CandidateFailsWithoutAPreferredChannelOrWithAFailedInitialise) {
    fake_->channels = {{0x12345678, 3}, {0x00000004, 4}};
    EXPECT_FALSE(Channel().Open());
    EXPECT_EQ(std::count(fake_->calls.begin(), fake_->calls.end(), "MVOpenChannel"), 0);
    ASSERT_TRUE(channel_->OpenFailure().has_value());
    EXPECT_EQ(channel_->OpenFailure()->message, Msg::DeviceNotConnected);

    *fake_ = fakezeviz::State{};
    fake_->initializeResult = -13;
    EXPECT_FALSE(Channel().Open());
    EXPECT_EQ(fake_->calls, std::vector<std::string>{"MVInitialize"});
}

TEST_F(ChannelLibraryTest, MissingEntryPointReleasesTheLibraryOfEveryCandidate) {
    const std::string path = FAKE_ZEVIZ_INCOMPLETE_FOLDER "/libzeviz.so";
    ChannelLibrary& channel = Channel(FAKE_ZEVIZ_INCOMPLETE_FOLDER,
                                      {{"A", "usb://a", "DX-R7700"}, {"B", "usb://b", "DX-R7700"}});
    EXPECT_FALSE(channel.Open());
    EXPECT_FALSE(channel.Loaded());
    EXPECT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(ChannelLibraryTest, LibraryIsTakenOnlyFromAnAbsoluteFolder) {
    // A relative folder would load whatever lies in the current folder.
    EXPECT_FALSE(Channel("fakezeviz-complete").Open());
    EXPECT_TRUE(fake_->calls.empty());

    // Choice 1 wants the model's own library, which this folder does not hold.
    Channel().SetLibraryChoice(1);
    EXPECT_FALSE(channel_->Open());
    EXPECT_TRUE(fake_->calls.empty());
}

TEST_F(ChannelLibraryTest, UnwritableDriverSettingsAreReportedAndFailTheCandidate) {
    testing::ScriptedPrompt prompt;
    ChannelLibrary& channel = Channel(FAKE_ZEVIZ_FOLDER, {{"P", "usb://p", "DX-R7700"}},
                                      dir_.Write("plain-file", "x") + "/drivers/");
    channel.SetPrompt(&prompt);
    EXPECT_FALSE(channel.Open());
    ASSERT_EQ(prompt.Requests().size(), 1u);
    EXPECT_EQ(prompt.Requests()[0].icon, PromptIcon::Stop);
    EXPECT_NE(prompt.Requests()[0].text.find("plain-file/drivers/DX-R7700.ini"), std::string::npos);
    EXPECT_TRUE(fake_->calls.empty());
}

TEST_F(ChannelLibraryTest, ReceiveNeverPassesTheCallersBufferAndGrowsItsOwnOnRequest) {
    ASSERT_TRUE(Channel().Open());
    fake_->receives = {
        {100000, 100000, "abc"}, {10, 10, "0123456789"}, {-4, 300, ""}, {3, 3, "abc"}};
    // A library claiming more than its buffer holds is not believed.
    std::vector<std::uint8_t> large(200000);
    EXPECT_EQ(channel_->ChannelReceive(large.data(), large.size()),
              static_cast<int>(ChannelLibrary::kInitialReceiveBuffer - 1));
    std::array<std::uint8_t, 8> buffer;
    buffer.fill(0xEE);
    EXPECT_EQ(channel_->ChannelReceive(buffer.data(), 4), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), 5), "0123\xEE");

    buffer.fill(0xEE);
    EXPECT_EQ(channel_->ChannelReceive(buffer.data(), buffer.size()), 3);
    EXPECT_EQ(fake_->receiveSizes.back(), 301u) << "the reported size plus one";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), 5), std::string("abc\0\xEE", 5));
}

// A device lost in the middle of a run is shown by the USB command-line test.
TEST_F(ChannelLibraryTest, SendRepeatsUntilEverythingWent) {
    ASSERT_TRUE(Channel().Open());
    fake_->sendLimit = 3;
    const std::vector<std::uint8_t> bytes{'@', 'Q', 'N', 'L', ' ', 'I', 'N', 'Q', 'U', 'I'};
    EXPECT_EQ(channel_->Send(bytes), bytes.size());
    EXPECT_EQ(fake_->sent, "@QNL INQUI");
    EXPECT_EQ(std::count(fake_->calls.begin(), fake_->calls.end(), "MVSend"), 4);
}

TEST_F(ChannelLibraryTest, PolledBytesWaitForTheReceiveCycle) {
    ASSERT_TRUE(Channel().Open());
    fake_->receives = {{5, 5, "hello"}, {5, 5, "world"}};
    channel_->Poll(10);
    // While bytes wait to be taken the library is not asked again.
    channel_->Wake();
    channel_->Poll(10);
    EXPECT_EQ(std::count(fake_->calls.begin(), fake_->calls.end(), "MVReceive"), 1);
    std::array<std::uint8_t, 3> buffer{};
    EXPECT_EQ(channel_->Receive(buffer.data(), buffer.size()), 3);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "hel");
    EXPECT_EQ(channel_->Receive(buffer.data(), buffer.size()), 2);
    EXPECT_EQ(channel_->Receive(buffer.data(), buffer.size()), 0);
}

// Both field names, any case, are read from attached printers in the printer discovery test.
TEST(UsbDeviceId, OnlyTheMakerIsTakenAndTheModelNameIsNotDoubled) {
    EXPECT_FALSE(IsMakerDeviceId("MFG:ORVEXX;MDL:DX-R7700;"));
    EXPECT_FALSE(IsMakerDeviceId("MDL:ORVEX;"));
    EXPECT_EQ(DeviceIdModel("MFG:ORVEX;MDL:ORVEX DX-R7700;"), "ORVEX DX-R7700");
    EXPECT_EQ(DeviceIdModel("MFG:ORVEX;"), "");
}

}  // namespace
}  // namespace dialvane
