// The window program's PDF export, run as a user would: no display, the sample list, the text
// read back from the PDF.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "data/DialFileLoader.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"
#include "support/FileUtil.h"
#include "support/MainWindowFixture.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace dialvane {
namespace {

using testing::CliRun;
using testing::RunProgram;
using testing::TempDir;

const std::string kSample = DIALVANE_SOURCE_DIR "/samples/sample-dial-list.csv";
const std::string kSettings = DIALVANE_BINARY_DIR "/apps/dialvane/dialvane.ini";

std::string FindOnPath(const std::string& program) {
    std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin");
    for (std::string folder; std::getline(path, folder, ':');) {
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// The export on a machine with no display: the platform the environment names is one that
// cannot start here, so only the program's own choice lets it run.
CliRun Export(const TempDir& dir, const std::string& pdf, const std::string& list) {
    return RunProgram(dir,
                      {DIALVANE_BINARY_DIR "/apps/dialvane/dialvane", "--data-dir",
                       dir.File("data"), "--export-pdf", pdf, list},
                      {"XDG_CONFIG_HOME=" + dir.File("config"),
                       "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"});
}

constexpr const char* kNoPdftotext =
    "pdftotext is not installed (Debian package poppler-utils, which scripts/setup installs): "
    "the PDF's text cannot be read back";

std::string PdfText(const TempDir& dir, const std::string& pdf) {
    const std::string text = dir.File("pdf.txt");
    const CliRun run = RunProgram(dir, {FindOnPath("pdftotext"), "-enc", "UTF-8", pdf, text}, {});
    EXPECT_EQ(run.status, 0) << "pdftotext could not read " << pdf << ": " << run.err;
    return ReadFileBytes(text).value_or("");
}

class PdfExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (FindOnPath("pdftotext").empty()) {
            GTEST_SKIP() << kNoPdftotext;
        }
    }

    TempDir dir_;
};

TEST_F(PdfExportTest, SampleListShowsEveryNameTheModelAndTheSender) {
    const std::string pdf = dir_.File("list.pdf");
    const CliRun run = Export(dir_, pdf, kSample);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = PdfText(dir_, pdf);

    TProductInfo product(kSettings);
    product.Load("DX-R7700");
    DialModel model;
    ASSERT_TRUE(LoadDialFile(kSample, model, product).ok());
    int names = 0;
    for (int number = 1; number <= kMaxSpeedDials; ++number) {
        const SpeedDialEntry& entry = model.speedDials[number];
        if (!entry.key.empty()) {
            ++names;
            EXPECT_NE(text.find(entry.name), std::string::npos) << entry.key << " " << entry.name;
            EXPECT_NE(text.find(entry.faxNumber), std::string::npos) << entry.key;
        }
    }
    EXPECT_GE(names, 10) << "the sample list no longer shows a full page of speed dials";
    EXPECT_NE(text.find("DX-R7700"), std::string::npos) << "the default (offline) model";
    EXPECT_NE(text.find(model.senderName), std::string::npos);
    EXPECT_NE(text.find(model.groups[1].name), std::string::npos);
}

TEST_F(PdfExportTest, ListWithErrorsWritesNoPdfAndKeepsAnOldOne) {
    const std::string bad = dir_.Write("bad.csv", "S001,Head Office,,03-5550-1000\nX1,oops\n");
    const CliRun fresh = Export(dir_, dir_.File("new.pdf"), bad);
    EXPECT_EQ(fresh.status, 1);
    EXPECT_NE(fresh.err.find("Line number:   2"), std::string::npos) << fresh.err;
    EXPECT_FALSE(ReadFileBytes(dir_.File("new.pdf")).has_value()) << "a PDF of a bad list";

    // An earlier sheet stays as it was: the failed export neither empties nor replaces it.
    const std::string earlier = dir_.Write("old.pdf", "earlier sheet");
    EXPECT_EQ(Export(dir_, earlier, bad).status, 1);
    EXPECT_EQ(dir_.Read("old.pdf"), "earlier sheet");
}

// The window's sheet is of the list as edited, not as last saved, with the model's own buttons.
class WindowPdfTest : public testing::MainWindowTest {};

TEST_F(WindowPdfTest, ExportFromTheMenuShowsTheEditedListAndItsOneTouchButtons) {
    if (FindOnPath("pdftotext").empty()) {
        GTEST_SKIP() << kNoPdftotext;
    }
    NewList("DX-M100");
    ASSERT_TRUE(form->MN_ExportPdf->isEnabled()) << "Export as PDF is off in the editor";
    PutSpeedDial(7, "Night Desk", "03-5550-0007");
    form->Model().bindings[2] = "S007";
    form->Model().senderName = "Branch Tokyo";
    saveAs = dir.File("sheet.pdf");
    form->MN_ExportPdf->trigger();

    const std::string text = PdfText(dir, saveAs);
    for (const char* expected : {"DX-M100", "S007 [Night Desk] 03-5550-0007", "Branch Tokyo"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in:\n" << text;
    }
}

}  // namespace
}  // namespace dialvane
