#pragma once

#include <string>

struct udev;
struct udev_monitor;

namespace dialvane {

// Whether an IEEE 1284 device ID names the maker (MFG or MANUFACTURER "ORVEX").
bool IsMakerDeviceId(const std::string& deviceId);

// The maker's USB printers as udev sees them (usblp nodes), and the hot-plug events that
// change them. The window watches MonitorFd() in its event loop and calls TakeEvent() when it
// is readable. Without udev (no monitor) nothing is present and no event comes.
class UsbPresence {
  public:
    UsbPresence();
    ~UsbPresence();
    UsbPresence(const UsbPresence&) = delete;
    UsbPresence& operator=(const UsbPresence&) = delete;

    // The node of the first present printer of the maker; empty when there is none.
    std::string PresentDevice() const;
    // Readable when an event waits; -1 without a monitor.
    int MonitorFd() const;
    // Takes one waiting event; true when a printer node arrived or went away.
    bool TakeEvent();

  private:
    ::udev* udev_ = nullptr;
    ::udev_monitor* monitor_ = nullptr;
};

}  // namespace dialvane
