// The emulated dial list: loaded from and dumped to user files, read and set by the tests.
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "MfpEmulatorImpl.h"
#include "data/DialFileLoader.h"
#include "data/DownloadWriter.h"
#include "data/ProductInfo.h"
#include "data/RecordTable.h"
#include "protocol/DeviceRecords.h"
#include "support/Format.h"

namespace dialvane {

namespace {

// The capabilities the dial list file is checked against: the settings file named in the options,
// or a profile that matches the emulated format, written to a temporary file for the reader.
class ProductProfile {
  public:
    explicit ProductProfile(const MfpEmulatorOptions& options) {
        std::string path = options.settingsPath;
        if (path.empty()) {
            char name[] = "/tmp/mfp-emulator-XXXXXX.ini";
            const int fd = mkstemps(name, 4);
            if (fd >= 0) {
                const std::string text =
                    options.extendedFormat
                        ? Format(
                              "[%s]\nFaxType=1\n[FaxType1]\nSpeedDial=200\nQuickDial=12\n"
                              "SpeedDialKeyword=1\n",
                              options.model)
                        : Format(
                              "[%s]\nFaxType=1\n[FaxType1]\nSpeedDial=60\nQuickDial=3\n"
                              "SpeedDialKeyword=0\n",
                              options.model);
                const bool written =
                    write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                close(fd);
                temporary_ = name;
                if (written) {
                    path = name;
                }
            }
        }
        product_ = std::make_unique<TProductInfo>(path, options.listRules);
        product_->Load(options.model);
    }
    ~ProductProfile() {
        if (!temporary_.empty()) {
            unlink(temporary_.c_str());
        }
    }
    ProductProfile(const ProductProfile&) = delete;
    ProductProfile& operator=(const ProductProfile&) = delete;

    const TProductInfo& Product() const { return *product_; }

  private:
    std::string temporary_;
    std::unique_ptr<TProductInfo> product_;
};

Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace

bool MfpEmulator::LoadUserFile(const std::string& path, std::string* error) {
    auto fail = [&](std::string what) {
        if (error) {
            *error = std::move(what);
        }
        return false;
    };
    ProductProfile profile(options_);
    DialModel model;
    const LoadResult loaded = LoadDialFile(path, model, profile.Product());
    if (!loaded.readable) {
        return fail(loaded.readError);
    }
    if (!loaded.errorLines.empty()) {
        std::string lines;
        for (const std::string& line : loaded.errorLines) {
            lines += line + "\n";
        }
        return fail(lines);
    }
    // A device with the short sender field holds no more of the name than fits in it; asking
    // it to take the long field would only be refused.
    if (!options_.longSenderSupported) {
        std::string& name = model.senderName;
        while (IsLongSenderName(name)) {
            while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) {
                name.pop_back();
            }
            if (!name.empty()) {
                name.pop_back();
            }
        }
    }
    emu::DeviceDialList fresh;
    try {
        RecordTable table(profile.Product());
        table.BuildFromModel(model);
        RecordFormat format;
        format.extended = options_.extendedFormat;
        format.longSender = IsLongSenderName(model.senderName);
        format.codePage = options_.listRules.codePage;
        for (const auto& [mid, message] : EncodeTable(table, format)) {
            if (message.Empty()) {
                continue;
            }
            std::vector<FrameParam> params;
            for (const FrameRecord& frame : message.Frames()) {
                params.insert(params.end(), frame.params.begin(), frame.params.end());
            }
            const emu::HandleResult stored =
                fresh.Handle(mid, params, impl_->Config(), std::nullopt);
            if (!stored.registered) {
                return fail(stored.problem);
            }
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    std::lock_guard lock(impl_->mutex);
    impl_->list = std::move(fresh);
    return true;
}

bool MfpEmulator::DumpUserFile(const std::string& path, std::string* error) const {
    std::vector<FrameRecord> messages;
    {
        std::lock_guard lock(impl_->mutex);
        for (std::uint8_t mid : {0x7C, 0x79, 0x76, 0x60}) {
            messages.push_back(impl_->list.InformationMessage(mid));
        }
    }
    ProductProfile profile(options_);
    RecordTable table(profile.Product());
    try {
        DecodeDownload(messages, options_.extendedFormat, table);
    } catch (const std::exception& e) {
        if (error) {
            *error = e.what();
        }
        return false;
    }
    return WriteDownloadFile(path, table, error);
}

void MfpEmulator::ClearDialList() {
    std::lock_guard lock(impl_->mutex);
    impl_->list.Clear();
}

int MfpEmulator::StoredCount(char kind) const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<int>(impl_->list.Records(kind).size());
}

std::optional<std::string> MfpEmulator::StoredValue(char kind, int number) const {
    std::lock_guard lock(impl_->mutex);
    const auto& records = impl_->list.Records(kind);
    const auto found = records.find(number);
    if (found == records.end()) {
        return std::nullopt;
    }
    return std::string(found->second.begin(), found->second.end());
}

void MfpEmulator::StoreValue(char kind, int number, const std::string& value) {
    std::lock_guard lock(impl_->mutex);
    impl_->list.Store(kind, number, ToBytes(value));
}

}  // namespace dialvane
