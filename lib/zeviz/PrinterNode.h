#pragma once

#include <string>

namespace zeviz {

// Where a printer is: its device node and IEEE 1284 device ID.
struct PrinterNode {
    std::string node;
    std::string deviceId;
};

// Finds the printer by name: a device node path as such; an entry of the settings file
// ($XDG_CONFIG_HOME/ORVEX/Dialvane/zeviz.ini, section = printer name, keys Device and
// DeviceID); or a CUPS queue whose usb:// device URI carries the serial number of an attached
// usblp printer. False when none of them knows it.
bool FindPrinter(const std::string& name, PrinterNode& found);

// The device ID the usblp driver reports for an open node; empty when it is not usblp.
std::string QueryDeviceId(int fd, const std::string& node);

}  // namespace zeviz
