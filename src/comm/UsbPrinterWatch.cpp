#include "comm/UsbPrinterWatch.h"

#include "transport/UsbPresence.h"

namespace dialvane {

UsbPrinterWatch::UsbPrinterWatch() : presence_(std::make_unique<UsbPresence>()) {}

UsbPrinterWatch::~UsbPrinterWatch() = default;

std::string UsbPrinterWatch::PresentDevice() const {
    return presence_->PresentDevice();
}

int UsbPrinterWatch::MonitorFd() const {
    return presence_->MonitorFd();
}

bool UsbPrinterWatch::TakeEvent() {
    return presence_->TakeEvent();
}

}  // namespace dialvane
