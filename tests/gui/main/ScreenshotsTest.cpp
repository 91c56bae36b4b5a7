// Pictures of the progress dialog in both forms while a transfer runs against the emulated MFP.
// They go to $DIALVANE_SCREENSHOTS when it is set (scripts/screenshots), else to a temporary
// folder; either way each must be grabbed mid-transfer and come out as a readable image.
#include <gtest/gtest.h>

#include <QImage>

#include "support/MainWindowFixture.h"

namespace dialvane {
namespace {

using TransferScreenshots = testing::WindowTransfer;

// DISP 0 shows the compact form during a read, DISP 4 the detailed form during a send.
TEST_P(TransferScreenshots, ProgressDialogMidTransfer) {
    const bool compact = GetParam() == 0;
    EmulatorFaults slow;
    slow.answerDelayMs = 25;  // long enough to catch the dialog between answers
    StartDevice(193, slow);
    MakeWindow();
    const QByteArray wanted = qgetenv("DIALVANE_SCREENSHOTS");
    const std::string folder = wanted.isEmpty() ? dir.Path() : wanted.toStdString() + "/";
    const QString path = QString::fromStdString(
        folder + (compact ? "ProgForm_compact_running.png" : "ProgForm_detailed_running.png"));
    bool grabbed = false;
    // Mid-transfer: the fax is occupied, records are moving and the view has lines.
    WhileRunning(
        [&] {
            return device->Counters().frameReads > 1 &&
                   (compact || form->ProgForm()->ViewLines().size() > 3);
        },
        [&](TProgForm& dialog) { grabbed = dialog.grab().save(path); });
    if (compact) {
        ReadFromDevice();
    } else {
        Select(2);
        AddSpeedDial(1, "Head Office", "0355501000");
        form->Model().senderName = "Front desk";
        Send();
    }
    ASSERT_TRUE(grabbed) << path.toStdString();
    EXPECT_EQ(QImage(path).size(), form->ProgForm()->size());
    form->Model().modified.Clear();
}

INSTANTIATE_TEST_SUITE_P(BothForms, TransferScreenshots, ::testing::Values(0, 4));

}  // namespace
}  // namespace dialvane
