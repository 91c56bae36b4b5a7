#include "data/DialFileLine.h"

#include <optional>

#include "data/CharConv.h"
#include "support/FileUtil.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {
namespace {

// NUL counts as a control character too: the old line reader stopped at it, which would silently
// drop the rest of the line.
bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

bool NeedsQuotes(std::string_view field) {
    for (char c : field) {
        if (c == ',' || c == '"' || IsControl(c)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> SplitDialLine(std::string_view rawLine) {
    const std::string line = ReplaceAll(rawLine, " ", kSpaceToken);
    std::vector<std::string> fields;
    const size_t n = line.size();
    size_t i = 0;
    auto skipControls = [&] {
        while (i < n && IsControl(line[i])) {
            ++i;
        }
    };
    skipControls();
    while (i < n) {
        std::string field;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
        } else {
            size_t start = i;
            while (i < n && line[i] != ',' && !IsControl(line[i])) {
                ++i;
            }
            field.assign(line, start, i - start);
        }
        fields.push_back(ReplaceAll(field, kSpaceToken, " "));
        skipControls();
        if (i < n && line[i] == ',') {
            ++i;
            if (i == n) {
                fields.emplace_back();
            }
            skipControls();
        }
    }
    return fields;
}

std::string JoinDialLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) {
            line += ',';
        }
        std::string field = ReplaceAll(fields[k], " ", kSpaceToken);
        if (NeedsQuotes(field)) {
            line += '"';
            line += ReplaceAll(field, "\"", "\"\"");
            line += '"';
        } else {
            line += field;
        }
    }
    return ReplaceAll(line, kSpaceToken, " ");
}

}  // namespace dialvane

namespace dialvane {

bool WriteDialLines(const std::string& path, const std::vector<KeyedLine>& lines,
                    std::string* error, unsigned newFileMode, FileEncoding encoding) {
    auto fail = [&](const std::string& message) {
        if (error != nullptr) {
            *error = message;
        }
        return false;
    };
    std::string bytes(encoding == FileEncoding::Utf8Marked ? kUtf8ByteOrderMark : "");
    for (const KeyedLine& line : lines) {
        const std::string text = JoinDialLine(line.fields);
        // A line break inside a field would split the record when the file is read again.
        std::optional<std::string> encoded;
        if (text.find_first_of("\r\n") == std::string::npos) {
            encoded = Utf8ToFileBytes(text, encoding);
        }
        if (!encoded) {
            return fail(Text(Msg::FileCharacterNotWritable, line.key) + "\r\n(" + path + ")");
        }
        bytes += *encoded;
        bytes += "\r\n";
    }
    if (!WriteFileAtomic(path, bytes, newFileMode)) {
        return fail(Text(Msg::FileCannotWrite) + "\r\n(" + path + ")");
    }
    return true;
}

}  // namespace dialvane
