#pragma once

#include <string>
#include <vector>

namespace dialvane {

// One printer the channel library can be asked to open.
struct UsbPrinter {
    std::string name;   // what the library is given: a queue name or a device node path
    std::string port;   // the queue's device URI, or the device node
    std::string model;  // the queue's make-and-model, or the printer's IEEE 1284 model
};

// Whether `driverName` names one of the models: it begins with a model name, compared without
// regard to case over the model name's length. Empty model names match nothing.
bool MatchesSupportedModel(const std::string& driverName, const std::vector<std::string>& models);

// The MFG and MDL (or MANUFACTURER and MODEL) fields of an IEEE 1284 device ID joined by a
// blank ("ORVEX DX-R7700"), or MDL alone when MFG is missing.
std::string DeviceIdModel(const std::string& deviceId);
// One field of an IEEE 1284 device ID ("SN" ...), empty when missing.
std::string DeviceIdField(const std::string& deviceId, const std::string& key);

// Where printers are looked for; the defaults are the system's places.
struct PrinterSources {
    bool useCups = true;  // the CUPS scheduler named by CUPS_SERVER or the client settings
    std::string usbClassFolder = "/sys/class/usbmisc";  // usblp devices: lpN/device/ieee1284_id
    std::string deviceFolder = "/dev/usb";              // their nodes
    std::string mappingFile;  // the channel library's own settings file; empty: its default
};

// The printers the channel library could reach, in the order they are tried: CUPS queues on
// usb:// whose make-and-model is a supported model; then attached printers (usblp devices and
// the library's mapping entries) whose IEEE 1284 model is supported and no queue covers.
std::vector<UsbPrinter> ListUsbPrinters(const std::vector<std::string>& models,
                                        const PrinterSources& sources = {});

// The printer the window names: the first USB printer of a supported model, else the first
// queue or attached printer of one whatever its connection; empty when there is none.
std::string InstalledPrinterName(const std::vector<std::string>& models,
                                 const PrinterSources& sources = {});

// Whether any queue's make-and-model (whatever its URI) or any attached printer's 1284 model is
// one of the models.
bool DriverInstalled(const std::vector<std::string>& models, const PrinterSources& sources = {});

// The channel library's settings file: $XDG_CONFIG_HOME/ORVEX/Dialvane/zeviz.ini (or
// ~/.config/...). It maps printer names to a device node and device ID:
//   [PRINTER NAME]
//   Device=/dev/usb/lp0
//   DeviceID=MFG:ORVEX;MDL:DX-R7700;
std::string DefaultMappingFile();
// $XDG_CONFIG_HOME/ORVEX/Dialvane/ (or ~/.config/ORVEX/Dialvane/), ending in "/".
std::string ConfigFolder();

}  // namespace dialvane
