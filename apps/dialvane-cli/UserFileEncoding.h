#pragma once

#include <functional>
#include <string>

#include "CliOptions.h"
#include "data/CharConv.h"
#include "data/DialFileLoader.h"
#include "data/TextRules.h"

namespace dialvane {

// The encoding of the dial list files a command reads and writes: --encoding, else the narrow
// code page of the language's text rules. The device's texts never depend on it.
FileEncoding UserFileEncoding(const CliOptions& options, const TextRules& rules);

// The command's FILE through the editor loader in that encoding. When the file looks like UTF-8
// read in another encoding, one hint follows the first error line; when no character check
// failed, `warn` (when given) is told instead: names may have passed garbled.
LoadResult LoadUserFile(const CliOptions& options, DialModel& model, const TProductInfo& product,
                        const std::function<void(const std::string&)>& warn = {});

}  // namespace dialvane
