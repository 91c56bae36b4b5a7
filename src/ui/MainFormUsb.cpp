// The USB printer's presence: udev's hot-plug events read in the window's event loop.
#include <QListWidget>
#include <QSocketNotifier>

#include "comm/UsbPrinterWatch.h"
#include "support/Messages.h"
#include "ui/MainForm.h"

namespace dialvane {

void TMainForm::StartUsbPresence() {
    usbPresence_ = std::make_unique<UsbPrinterWatch>();
    usbDevice_ = usbPresence_->PresentDevice();
    const int fd = usbPresence_->MonitorFd();
    if (fd >= 0) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { UsbDeviceChange(); });
    }
}

void TMainForm::UsbDeviceChange() {
    if (!usbPresence_->TakeEvent()) {
        return;  // not a printer arriving or leaving
    }
    // The printer is looked up again: another of the maker's may still be attached.
    usbDevice_ = usbPresence_->PresentDevice();
    if (mainMode_ == MainModeKind::Setup && DevIndex() == 0) {
        ShowUsbPresence();
    }
}

void TMainForm::ShowUsbPresence() {
    LB_Status->clear();
    LB_Status->addItem(QString::fromStdString(
        usbDevice_.empty() ? Text(Msg::UsbDeviceAbsent) : Text(Msg::UsbDevicePresent, usbDevice_)));
}

}  // namespace dialvane
