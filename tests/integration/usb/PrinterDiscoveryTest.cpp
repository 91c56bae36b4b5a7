// Which printers the USB channel tries: CUPS queues (a private scheduler) and attached
// printers (a sysfs-like folder and the channel library's mapping file).
#include <gtest/gtest.h>

#include "PrivateCups.h"
#include "support/TempDir.h"
#include "transport/UsbPrinters.h"

namespace dialvane {
namespace {

const std::vector<std::string> kModels{"ORVEX DX-R7700", "DX-R7700"};

std::vector<std::string> Names(const std::vector<UsbPrinter>& printers) {
    std::vector<std::string> names;
    for (const UsbPrinter& printer : printers) {
        names.push_back(printer.name + " [" + printer.model + "]");
    }
    return names;
}

class PrinterDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        sources_.usbClassFolder = dir_.File("class");
        sources_.deviceFolder = "/dev/usb";
        sources_.mappingFile = dir_.File("zeviz.ini");
    }
    // A usblp printer as the kernel shows it.
    void Attach(const std::string& name, const std::string& deviceId, const std::string& serial) {
        MakeDirectories(dir_.File("class/" + name + "/device"));
        dir_.Write("class/" + name + "/device/ieee1284_id", deviceId + "\n");
        dir_.Write("class/" + name + "/serial", serial + "\n");
    }

    testing::TempDir dir_;
    PrinterSources sources_;
};

TEST_F(PrinterDiscovery, UsbQueuesOfSupportedModelsComeFirstAndCoverTheirAttachedPrinter) {
    if (const std::string why = testing::PrivateCups::Unavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    testing::PrivateCups cups;
    ASSERT_TRUE(cups.Ready()) << cups.ErrorLog();
    ASSERT_TRUE(cups.AddQueue("usbq", "usb://ORVEX/DX-R7700?serial=EMU1", "ORVEX DX-R7700"));
    ASSERT_TRUE(cups.AddQueue("sockq", "socket://127.0.0.1:9100", "ORVEX DX-R7700"));
    ASSERT_TRUE(cups.AddQueue("lpdq", "lpd://127.0.0.1/fax", "ORVEX DX-R7700"));
    ASSERT_TRUE(cups.AddQueue("otherq", "usb://ORVEX/DX-X1?serial=X1", "ORVEX DX-X1"));
    // The queue's printer is attached too, beside a second one no queue covers.
    Attach("lp0", "MFG:ORVEX;MDL:DX-R7700;SN:EMU1;", "EMU1");
    Attach("lp1", "MFG:ORVEX;MDL:DX-R7700;", "EMU2");

    const std::vector<UsbPrinter> printers = ListUsbPrinters(kModels, sources_);
    EXPECT_EQ(Names(printers),
              (std::vector<std::string>{"usbq [ORVEX DX-R7700]", "/dev/usb/lp1 [ORVEX DX-R7700]"}));
    ASSERT_FALSE(printers.empty());
    EXPECT_EQ(printers[0].port, "usb://ORVEX/DX-R7700?serial=EMU1");

    // A queue of the model counts as the installed driver whatever its URI.
    PrinterSources queuesOnly = sources_;
    queuesOnly.usbClassFolder = dir_.File("none");
    EXPECT_TRUE(DriverInstalled({"ORVEX DX-X1"}, queuesOnly));
    ASSERT_TRUE(cups.RemoveQueue("usbq"));
    ASSERT_TRUE(cups.RemoveQueue("otherq"));
    EXPECT_TRUE(ListUsbPrinters(kModels, queuesOnly).empty());
    EXPECT_TRUE(DriverInstalled(kModels, queuesOnly));
    EXPECT_FALSE(DriverInstalled({"ORVEX DX-X1"}, queuesOnly));
    EXPECT_FALSE(DriverInstalled({"DX-Z9"}, queuesOnly));
}

TEST_F(PrinterDiscovery, WithoutQueuesAnAttachedOrMappedPrinterOfTheModelIsFound) {
    sources_.useCups = false;
    EXPECT_FALSE(DriverInstalled(kModels, sources_));
    // Model names compare without regard to case over the configured name's length.
    Attach("lp3", "MANUFACTURER:orvex;MODEL:dx-r7700 PS;", "S3");
    Attach("lp4", "MFG:ORVEX;MDL:DX-X1;", "S4");
    dir_.Write("zeviz.ini",
               "[Front desk]\nDevice=/tmp/stand-in\nDeviceID=MFG:ORVEX;MDL:DX-R7700;\n"
               "[Other]\nDevice=/tmp/other\nDeviceID=MFG:ORVEX;MDL:DX-X1;\n");

    EXPECT_EQ(Names(ListUsbPrinters(kModels, sources_)),
              (std::vector<std::string>{"/dev/usb/lp3 [orvex dx-r7700 PS]",
                                        "Front desk [ORVEX DX-R7700]"}));
    EXPECT_TRUE(DriverInstalled(kModels, sources_));
    EXPECT_FALSE(DriverInstalled({"DX-Z9"}, sources_));
}

}  // namespace
}  // namespace dialvane
