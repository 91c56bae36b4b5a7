// Times the import of a 10,000-contact vCard address book into a dial list file: reading and
// decoding the file, the vCard reader, the dialling rules, name order, key assignment and the
// atomic write. Prints the median of the runs.
//
//   bench_import [RUNS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "contacts/ContactSource.h"
#include "contacts/DialListMerge.h"
#include "data/DialFileWriter.h"
#include "support/FileUtil.h"

namespace fs = std::filesystem;
using namespace dialvane;

namespace {

constexpr int kContacts = 10000;

// A company address book: everyone has a phone, one in `faxEvery` a fax too, in one of ten
// departments.
std::string AddressBook(int faxEvery) {
    std::string text;
    for (int i = 0; i < kContacts; ++i) {
        const std::string n = std::to_string(i);
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:urn:uuid:" + n + "\r\nFN:Contact " + n +
                " Müller\r\nN:Müller;Contact " + n + ";;;\r\nORG:Company " + n +
                "\r\nEMAIL;TYPE=work:c" + n + "@example.org\r\nTEL;TYPE=work,voice:+49 30 555 " +
                n + "\r\n";
        if (i % faxEvery == 0) {
            text += "TEL;TYPE=work,fax:+49 (30) 555-" + n + "9\r\nCATEGORIES:Department " +
                    std::to_string(i / faxEvery % 10) + "\r\n";
        }
        text += "END:VCARD\r\n";
    }
    return text;
}

struct Outcome {
    double seconds;
    size_t dials;
    bool written;
    std::string error;
};

Outcome ImportOnce(const std::string& source, const std::string& target,
                   const TProductInfo& product) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const ContactRead read = ReadContactFile(source, {});
    const ImportPlan plan = PlanImport(read.contacts, DiallingSettings{"49", "0", "00", "0-"},
                                       FileEncoding::Utf8, product.Rules());
    const MergedDialList merged = MergeImport(plan, product);
    const bool written =
        merged.errors.empty() && WriteDialLines(target, DialFileLines(merged.model, product),
                                                &error, kNewFileMode, FileEncoding::Utf8);
    for (const std::string& problem : merged.errors) {
        error += problem;
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            plan.dials.size(), written, error};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const fs::path folder =
        fs::temp_directory_path() / ("dialvane-bench-import-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string settings = (folder / "dialvane.ini").string();
    WriteFileAtomic(settings, "[M]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\n");
    TProductInfo product(settings);
    product.Load("M");

    struct Row {
        const char* what;
        int faxEvery;
    } rows[] = {{"10,000 vCards, 200 with a fax number (written)", 50},
                {"10,000 vCards, all with a fax number (refused: too many)", 1}};
    for (const Row& row : rows) {
        const std::string source = (folder / "book.vcf").string();
        WriteFileAtomic(source, AddressBook(row.faxEvery));
        std::vector<double> times;
        Outcome outcome{};
        for (int i = 0; i < runs; ++i) {
            outcome = ImportOnce(source, (folder / "list.csv").string(), product);
            times.push_back(outcome.seconds);
        }
        std::sort(times.begin(), times.end());
        std::printf("%-58s median %.3f s (min %.3f, max %.3f, %d runs; %zu speed dials, %s)\n",
                    row.what, times[times.size() / 2], times.front(), times.back(), runs,
                    outcome.dials, outcome.written ? "written" : outcome.error.c_str());
    }
    fs::remove_all(folder);
    return 0;
}
