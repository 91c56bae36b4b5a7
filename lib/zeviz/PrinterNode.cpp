#include "PrinterNode.h"

#include <cups/cups.h>
#include <dirent.h>
#include <linux/ioctl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace zeviz {
namespace {

constexpr const char* kClassFolder = "/sys/class/usbmisc";
constexpr const char* kDeviceFolder = "/dev/usb";
constexpr std::size_t kDeviceIdMax = 1024;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return Trim(line);
}

std::string SettingsFile() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/ORVEX/Dialvane/zeviz.ini";
}

// The Device and DeviceID keys of section [name]; section and key names without regard to case.
bool FromSettings(const std::string& name, PrinterNode& found) {
    std::ifstream in(SettingsFile());
    std::string line;
    bool inSection = false;
    bool any = false;
    auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            inSection = same(Trim(line.substr(1, line.size() - 2)), name);
            continue;
        }
        const auto equals = line.find('=');
        if (!inSection || equals == std::string::npos) {
            continue;
        }
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (same(key, "Device")) {
            found.node = value;
            any = true;
        } else if (same(key, "DeviceID")) {
            found.deviceId = value;
        }
    }
    return any && !found.node.empty();
}

std::string UriSerial(const std::string& uri) {
    const auto at = uri.find("serial=");
    if (uri.rfind("usb:", 0) != 0 || at == std::string::npos) {
        return "";
    }
    std::string raw = uri.substr(at + 7);
    raw = raw.substr(0, raw.find('&'));
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() &&
            std::isxdigit(static_cast<unsigned char>(raw[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(raw[i + 2]))) {
            value.push_back(static_cast<char>(std::stoi(raw.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            value.push_back(raw[i]);
        }
    }
    return value;
}

std::string QueueUri(const std::string& name) {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::string uri;
    if (const cups_dest_t* dest = cupsGetDest(name.c_str(), nullptr, count, dests)) {
        const char* value = cupsGetOption("device-uri", dest->num_options, dest->options);
        uri = value != nullptr ? value : "";
    }
    cupsFreeDests(count, dests);
    return uri;
}

// The usblp printer whose USB device has this serial number.
bool FromSerial(const std::string& serial, PrinterNode& found) {
    DIR* dir = opendir(kClassFolder);
    if (dir == nullptr) {
        return false;
    }
    bool matched = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("lp", 0) != 0) {
            continue;
        }
        const std::string device = std::string(kClassFolder) + "/" + name + "/device";
        if (ReadLine(device + "/../serial") == serial) {
            found.node = std::string(kDeviceFolder) + "/" + name;
            found.deviceId = ReadLine(device + "/ieee1284_id");
            matched = true;
            break;
        }
    }
    closedir(dir);
    return matched;
}

}  // namespace

bool FindPrinter(const std::string& name, PrinterNode& found) {
    found = {};
    if (name.empty()) {
        return false;
    }
    if (FromSettings(name, found)) {
        return true;
    }
    if (name.front() == '/') {
        found.node = name;
        return true;
    }
    const std::string serial = UriSerial(QueueUri(name));
    return !serial.empty() && FromSerial(serial, found);
}

std::string QueryDeviceId(int fd, const std::string& node) {
    // usblp: two bytes of big-endian length (counting themselves), then the ID.
    std::vector<unsigned char> buffer(kDeviceIdMax, 0);
    if (ioctl(fd, _IOC(_IOC_READ, 'P', 1, kDeviceIdMax), buffer.data()) >= 0) {
        const std::size_t length = std::min<std::size_t>(
            static_cast<std::size_t>(buffer[0] << 8 | buffer[1]), buffer.size());
        if (length > 2) {
            return Trim(std::string(reinterpret_cast<const char*>(buffer.data()) + 2, length - 2));
        }
    }
    const std::string base = node.substr(node.find_last_of('/') + 1);
    return ReadLine(std::string(kClassFolder) + "/" + base + "/device/ieee1284_id");
}

}  // namespace zeviz
