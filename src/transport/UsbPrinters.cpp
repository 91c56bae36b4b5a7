#include "transport/UsbPrinters.h"

#include <cups/cups.h>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "support/FileUtil.h"
#include "support/IniFile.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

struct Queue {
    std::string name;
    std::string uri;
    std::string makeAndModel;
};

// An attached printer before it is matched: its node, 1284 ID and USB serial number.
struct Attached {
    std::string name;
    std::string node;
    std::string deviceId;
    std::string serial;
};

std::vector<Queue> CupsQueues() {
    std::vector<Queue> queues;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        if (dest.instance != nullptr) {
            continue;  // an instance is the same queue again
        }
        auto option = [&](const char* name) {
            const char* value = cupsGetOption(name, dest.num_options, dest.options);
            return std::string(value != nullptr ? value : "");
        };
        queues.push_back({dest.name, option("device-uri"), option("printer-make-and-model")});
    }
    cupsFreeDests(count, dests);
    return queues;
}

std::string Scheme(const std::string& uri) {
    const std::size_t colon = uri.find(':');
    return colon == std::string::npos ? "" : uri.substr(0, colon);
}

// The serial=... value of a usb:// URI, percent escapes undone.
std::string UriSerial(const std::string& uri) {
    const std::size_t query = uri.find('?');
    if (query == std::string::npos) {
        return "";
    }
    std::string rest = uri.substr(query + 1);
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find('&', start), rest.size());
        const std::string pair = rest.substr(start, end - start);
        if (pair.starts_with("serial=")) {
            std::string value;
            for (std::size_t i = 7; i < pair.size(); ++i) {
                if (pair[i] == '%' && i + 2 < pair.size() + 0 && HexDigitValue(pair[i + 1]) >= 0 &&
                    HexDigitValue(pair[i + 2]) >= 0) {
                    value.push_back(static_cast<char>(HexDigitValue(pair[i + 1]) * 16 +
                                                      HexDigitValue(pair[i + 2])));
                    i += 2;
                } else {
                    value.push_back(pair[i]);
                }
            }
            return value;
        }
        start = end + 1;
    }
    return "";
}

std::string ReadFirstLine(const std::string& path) {
    const std::optional<std::string> text = ReadFileBytes(path);
    if (!text) {
        return "";
    }
    return Trim(text->substr(0, text->find('\n')));
}

// usblp devices: <class folder>/lpN/device is the printer's USB interface, its parent the USB
// device with the serial number.
std::vector<Attached> UsblpPrinters(const PrinterSources& sources) {
    std::vector<Attached> found;
    DIR* dir = opendir(sources.usbClassFolder.c_str());
    if (dir == nullptr) {
        return found;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.starts_with("lp")) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string deviceFolder = sources.usbClassFolder + "/" + name + "/device";
        Attached printer;
        printer.node = sources.deviceFolder + "/" + name;
        printer.name = printer.node;
        printer.deviceId = ReadFirstLine(deviceFolder + "/ieee1284_id");
        printer.serial = ReadFirstLine(deviceFolder + "/../serial");
        if (printer.serial.empty()) {
            printer.serial = DeviceIdField(printer.deviceId, "SN");
        }
        found.push_back(std::move(printer));
    }
    return found;
}

std::vector<Attached> MappedPrinters(const PrinterSources& sources) {
    std::vector<Attached> found;
    CSimpleIniA ini;
    if (!LoadIniFile(ini,
                     sources.mappingFile.empty() ? DefaultMappingFile() : sources.mappingFile)) {
        return found;
    }
    CSimpleIniA::TNamesDepend sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& section : sections) {
        Attached printer;
        printer.name = section.pItem;
        printer.node = IniText(ini, section.pItem, "Device", "");
        printer.deviceId = IniText(ini, section.pItem, "DeviceID", "");
        printer.serial = DeviceIdField(printer.deviceId, "SN");
        if (!printer.node.empty()) {
            found.push_back(std::move(printer));
        }
    }
    return found;
}

bool Covered(const Attached& printer, const std::vector<Queue>& queues) {
    return std::any_of(queues.begin(), queues.end(), [&](const Queue& queue) {
        if (queue.name == printer.name) {
            return true;
        }
        return Scheme(queue.uri) == "usb" && !printer.serial.empty() &&
               UriSerial(queue.uri) == printer.serial;
    });
}

std::vector<Attached> AttachedPrinters(const PrinterSources& sources) {
    std::vector<Attached> all = UsblpPrinters(sources);
    std::vector<Attached> mapped = MappedPrinters(sources);
    all.insert(all.end(), mapped.begin(), mapped.end());
    return all;
}

std::string HomeConfig() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config";
}

}  // namespace

bool MatchesSupportedModel(const std::string& driverName, const std::vector<std::string>& models) {
    return std::any_of(models.begin(), models.end(), [&](const std::string& model) {
        return !model.empty() && driverName.size() >= model.size() &&
               strncasecmp(driverName.c_str(), model.c_str(), model.size()) == 0;
    });
}

std::string DeviceIdField(const std::string& deviceId, const std::string& key) {
    std::size_t start = 0;
    while (start < deviceId.size()) {
        const std::size_t end = std::min(deviceId.find(';', start), deviceId.size());
        const std::string field = deviceId.substr(start, end - start);
        const std::size_t colon = field.find(':');
        if (colon != std::string::npos &&
            strcasecmp(Trim(field.substr(0, colon)).c_str(), key.c_str()) == 0) {
            return Trim(field.substr(colon + 1));
        }
        start = end + 1;
    }
    return "";
}

std::string DeviceIdModel(const std::string& deviceId) {
    std::string maker = DeviceIdField(deviceId, "MFG");
    if (maker.empty()) {
        maker = DeviceIdField(deviceId, "MANUFACTURER");
    }
    std::string model = DeviceIdField(deviceId, "MDL");
    if (model.empty()) {
        model = DeviceIdField(deviceId, "MODEL");
    }
    if (model.empty()) {
        return "";
    }
    return maker.empty() || StartsWith(model, maker) ? model : maker + " " + model;
}

namespace {
// The 1284 model with and without its maker: either may be the configured name.
bool AttachedMatches(const Attached& printer, const std::vector<std::string>& models) {
    const std::string full = DeviceIdModel(printer.deviceId);
    std::string bare = DeviceIdField(printer.deviceId, "MDL");
    if (bare.empty()) {
        bare = DeviceIdField(printer.deviceId, "MODEL");
    }
    return (!full.empty() && MatchesSupportedModel(full, models)) ||
           (!bare.empty() && MatchesSupportedModel(bare, models));
}
}  // namespace

std::vector<UsbPrinter> ListUsbPrinters(const std::vector<std::string>& models,
                                        const PrinterSources& sources) {
    std::vector<UsbPrinter> printers;
    const std::vector<Queue> queues = sources.useCups ? CupsQueues() : std::vector<Queue>{};
    for (const Queue& queue : queues) {
        if (Scheme(queue.uri) == "usb" && MatchesSupportedModel(queue.makeAndModel, models)) {
            printers.push_back({queue.name, queue.uri, queue.makeAndModel});
        }
    }
    for (const Attached& printer : AttachedPrinters(sources)) {
        if (AttachedMatches(printer, models) && !Covered(printer, queues)) {
            printers.push_back({printer.name, printer.node, DeviceIdModel(printer.deviceId)});
        }
    }
    return printers;
}

std::string InstalledPrinterName(const std::vector<std::string>& models,
                                 const PrinterSources& sources) {
    const std::vector<UsbPrinter> usb = ListUsbPrinters(models, sources);
    if (!usb.empty()) {
        return usb.front().name;
    }
    if (sources.useCups) {
        for (const Queue& queue : CupsQueues()) {
            if (MatchesSupportedModel(queue.makeAndModel, models)) {
                return queue.name;
            }
        }
    }
    return "";
}

bool DriverInstalled(const std::vector<std::string>& models, const PrinterSources& sources) {
    if (sources.useCups) {
        for (const Queue& queue : CupsQueues()) {
            if (MatchesSupportedModel(queue.makeAndModel, models)) {
                return true;
            }
        }
    }
    const std::vector<Attached> attached = AttachedPrinters(sources);
    return std::any_of(attached.begin(), attached.end(),
                       [&](const Attached& printer) { return AttachedMatches(printer, models); });
}

std::string ConfigFolder() {
    return HomeConfig() + "/ORVEX/Dialvane/";
}

std::string DefaultMappingFile() {
    return ConfigFolder() + "zeviz.ini";
}

}  // namespace dialvane
