#pragma once

#include <memory>
#include <string>

namespace dialvane {

class UsbPresence;

// Whether the maker's USB printer is attached, kept up to date from the system's hot-plug
// events: the window watches MonitorFd() in its event loop and calls TakeEvent() when it is
// readable. Without hot-plug events (no monitor) nothing is present and no event comes.
class UsbPrinterWatch {
  public:
    UsbPrinterWatch();
    ~UsbPrinterWatch();
    UsbPrinterWatch(const UsbPrinterWatch&) = delete;
    UsbPrinterWatch& operator=(const UsbPrinterWatch&) = delete;

    // The node of the first attached printer of the maker; empty when there is none.
    std::string PresentDevice() const;
    // Readable when an event waits; -1 without a monitor.
    int MonitorFd() const;
    // Takes one waiting event; true when a printer node arrived or went away.
    bool TakeEvent();

  private:
    std::unique_ptr<UsbPresence> presence_;
};

}  // namespace dialvane
