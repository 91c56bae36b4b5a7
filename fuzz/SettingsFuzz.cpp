// The program settings file (with the product capabilities read from it) and the user settings
// file. What is read from the user settings, written and read again is what was read.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "data/ProductInfo.h"
#include "support/ProgramSettings.h"
#include "support/UserSettings.h"

using namespace dialvane;

namespace {

bool Same(const UserSettings& a, const UserSettings& b) {
    return a.connection == b.connection && a.ipAddress == b.ipAddress &&
           a.ipHistory == b.ipHistory && a.senderHistory == b.senderHistory &&
           a.fileHistory == b.fileHistory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string program = fuzz::ScratchFile("dialvane.ini", bytes);
    const ProgramSettings settings = ReadProgramSettings(program);
    TProductInfo product(program);
    product.Load(settings.offlineTarget);
    (void)product.LibraryChoice(settings.shortModelNames[0]);
    (void)product.ReceiveTimeout("Unknown");

    const std::string user = fuzz::ScratchFile("MFP_USER.INI", bytes);
    const UserSettings first = ReadUserSettings(user, 1);
    if (!WriteUserSettings(user, first)) {
        fuzz::Broken("user settings not written");
    }
    const UserSettings second = ReadUserSettings(user, 1);
    if (!Same(first, second)) {
        fuzz::Broken("user settings read back differ from what was written");
    }
    return 0;
}
