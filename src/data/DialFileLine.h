#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/CharConv.h"
#include "support/FileUtil.h"

namespace dialvane {

// Stands for a space while a line is split or joined, so that spaces never separate fields and
// never force quoting. A field holding this text literally reads back as one space.
inline constexpr std::string_view kSpaceToken = "<#Space#>";

// One line of a dial list file (no line ending) -> its fields. Control characters before a field
// are skipped; a field starting with a double quote runs to its closing quote ("" is one quote);
// an unquoted field ends at a comma or a control character; a comma at the very end gives a
// final empty field. An empty line gives no field.
std::vector<std::string> SplitDialLine(std::string_view line);

// Fields -> one line. A field holding a comma, a double quote or a control character is quoted.
std::string JoinDialLine(const std::vector<std::string>& fields);

}  // namespace dialvane

namespace dialvane {

// One record on its way into a file, with the key that names it in error messages.
struct KeyedLine {
    std::string key;
    std::vector<std::string> fields;
};

// Joins the records, ends every line with CR LF and converts the text to the file's encoding,
// then writes it in one piece through a temporary file. Nothing is written when a field holds a
// line break or a character the encoding cannot hold: the message names that record. *error
// (when given) receives the message for the "File Error" box on failure.
bool WriteDialLines(const std::string& path, const std::vector<KeyedLine>& lines,
                    std::string* error, unsigned newFileMode, FileEncoding encoding);

}  // namespace dialvane
