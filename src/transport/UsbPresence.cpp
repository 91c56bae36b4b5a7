#include "transport/UsbPresence.h"

#include <libudev.h>
#include <strings.h>

#include "transport/UsbPrinters.h"

namespace dialvane {
namespace {

constexpr const char* kMaker = "ORVEX";
constexpr const char* kSubsystem = "usbmisc";  // where usblp's lpN nodes live

// The 1284 ID usblp publishes on the printer's interface, the parent of the lpN node.
std::string DeviceIdOf(udev_device* device) {
    for (udev_device* at = device; at != nullptr; at = udev_device_get_parent(at)) {
        if (const char* id = udev_device_get_sysattr_value(at, "ieee1284_id")) {
            return id;
        }
    }
    return "";
}

}  // namespace

bool IsMakerDeviceId(const std::string& deviceId) {
    std::string maker = DeviceIdField(deviceId, "MFG");
    if (maker.empty()) {
        maker = DeviceIdField(deviceId, "MANUFACTURER");
    }
    return strcasecmp(maker.c_str(), kMaker) == 0;
}

UsbPresence::UsbPresence() : udev_(udev_new()) {
    if (udev_ == nullptr) {
        return;
    }
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ != nullptr &&
        (udev_monitor_filter_add_match_subsystem_devtype(monitor_, kSubsystem, nullptr) < 0 ||
         udev_monitor_enable_receiving(monitor_) < 0)) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
}

UsbPresence::~UsbPresence() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

std::string UsbPresence::PresentDevice() const {
    if (udev_ == nullptr) {
        return "";
    }
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (enumerate == nullptr) {
        return "";
    }
    udev_enumerate_add_match_subsystem(enumerate, kSubsystem);
    udev_enumerate_scan_devices(enumerate);
    std::string found;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
        if (device == nullptr) {
            continue;
        }
        const char* node = udev_device_get_devnode(device);
        if (node != nullptr && IsMakerDeviceId(DeviceIdOf(device))) {
            found = node;
        }
        udev_device_unref(device);
        if (!found.empty()) {
            break;
        }
    }
    udev_enumerate_unref(enumerate);
    return found;
}

int UsbPresence::MonitorFd() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

bool UsbPresence::TakeEvent() {
    if (monitor_ == nullptr) {
        return false;
    }
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (device == nullptr) {
        return false;
    }
    const char* action = udev_device_get_action(device);
    const std::string what = action != nullptr ? action : "";
    udev_device_unref(device);
    return what == "add" || what == "remove";
}

}  // namespace dialvane
