#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/DialFileLine.h"
#include "data/DialModel.h"
#include "data/ProductInfo.h"

namespace dialvane {

// The records of the editing model in file order: used speed dials, groups with members,
// bindings, then the sender line, which is always there.
std::vector<KeyedLine> DialFileLines(const DialModel& model, const TProductInfo& product);

// "Save" and "Save As": writes the whole model to the user's file. The modified flags are cleared
// only when the file was written, so a failed save still counts as unsaved. On failure *error
// (when given) holds the message for the "File Error" box and the old file is untouched. The
// file is written in `encoding`, or in the product's code page when none is given.
bool SaveDialFile(const std::string& path, DialModel& model, const TProductInfo& product,
                  std::string* error, std::optional<FileEncoding> encoding = std::nullopt);

}  // namespace dialvane
