#pragma once

#include <optional>
#include <string>

#include "data/CharConv.h"
#include "data/RecordTable.h"
#include "support/FileUtil.h"

namespace dialvane {

// Writes the record table as a dial list file for the editor loader: one line per record, a
// speed dial's keyword and fax number swapped back into file order. Keys stay in the table's
// short form (S5, G5). Atomic; on failure *error (when given) holds the "File Error" message and
// nothing was written. An empty path writes nothing and fails. Without an encoding the file is
// in the code page of the table's product.
bool WriteDownloadFile(const std::string& path, const RecordTable& table, std::string* error,
                       unsigned newFileMode = kNewFileMode,
                       std::optional<FileEncoding> encoding = std::nullopt);

}  // namespace dialvane
