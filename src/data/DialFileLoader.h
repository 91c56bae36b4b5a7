#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    bool ok() const { return readable && errorLines.empty(); }
};

// Clears the model, then reads the user file into it and checks every line. An empty path only
// clears the model. Lines with errors in their fields still fill their entries.
LoadResult LoadDialFile(const std::string& path, DialModel& model, const TProductInfo& product);

// The same for the bytes of a file already in memory.
std::vector<std::string> LoadDialText(std::string_view fileBytes, DialModel& model,
                                      const TProductInfo& product);

}  // namespace dialvane
