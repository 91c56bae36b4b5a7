#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/CharConv.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"

namespace dialvane {

// What the editor loader found. It shows nothing itself: the main window asks
// Text(Msg::ReadUserDataQuestion) when there are error lines, the command-line program prints
// them.
struct LoadResult {
    bool readable = true;
    std::string readError;  // the "File Error" text when the file could not be read
    std::vector<std::string> errorLines;
    // Read in a code page, the file is valid UTF-8 with non-ASCII characters: most likely it was
    // saved as UTF-8, and its names may have passed the checks garbled.
    bool looksLikeUtf8 = false;
    bool characterErrors = false;  // a name, keyword or fax number failed its character checks
    // What the file was read as: Utf8Marked when it starts with the byte-order mark. Saving the
    // list again in this encoding keeps the file the way its owner keeps it.
    std::optional<FileEncoding> encoding;  // none when the file could not be read
    bool ok() const { return readable && errorLines.empty(); }
};

// Clears the model, then reads the user file into it and checks every line. An empty path only
// clears the model. Lines with errors in their fields still fill their entries. Without an
// encoding the file is in the code page of the product's text rules.
LoadResult LoadDialFile(const std::string& path, DialModel& model, const TProductInfo& product,
                        std::optional<FileEncoding> encoding = std::nullopt);

// The same for the bytes of a file already in memory.
LoadResult LoadDialBytes(std::string_view fileBytes, DialModel& model, const TProductInfo& product,
                         std::optional<FileEncoding> encoding = std::nullopt);
std::vector<std::string> LoadDialText(std::string_view fileBytes, DialModel& model,
                                      const TProductInfo& product);

}  // namespace dialvane
