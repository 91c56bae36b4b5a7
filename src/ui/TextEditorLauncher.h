#pragma once

#include <string>

namespace dialvane {

// Opens `path` in the desktop's application for plain text. Never the one the desktop picks for
// the file's own type: for .csv that is often a spreadsheet, which drops the leading zeros of fax
// numbers when it saves. False when no such application is known or it could not be started.
bool OpenInTextEditor(const std::string& path);

}  // namespace dialvane
