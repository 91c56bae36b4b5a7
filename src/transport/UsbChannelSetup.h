#pragma once

#include <string>
#include <vector>

#include "support/ProgramSettings.h"
#include "transport/ChannelLibrary.h"

namespace dialvane {

// The supported model names: every configured printer model and short model name.
std::vector<std::string> SupportedModels(const ProgramSettings& settings);

// The USB channel of a program in `programFolder`: its own library folder, the configured
// models, and the printers found for them. With `printer` set only that printer is tried: a
// found printer of that name, else the name as given (a queue, node or mapping name).
ChannelLibrarySetup UsbChannelSetupFor(const ProgramSettings& settings,
                                       const std::string& programFolder,
                                       const std::string& printer = {});

}  // namespace dialvane
