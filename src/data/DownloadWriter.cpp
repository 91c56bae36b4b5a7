#include "data/DownloadWriter.h"

#include <utility>

#include "data/DialFileLine.h"
#include "support/Messages.h"
#include "support/TextUtil.h"

namespace dialvane {

bool WriteDownloadFile(const std::string& path, const RecordTable& table, std::string* error,
                       unsigned newFileMode, std::optional<FileEncoding> encoding) {
    if (path.empty()) {
        if (error != nullptr) {
            *error = Text(Msg::FileCannotWrite) + "\r\n()";
        }
        return false;
    }
    std::vector<KeyedLine> lines;
    for (int i = 1; i <= table.Count(); ++i) {
        DialRecord fields = table.At(i);
        const std::string key = Trim(fields[0]);
        if (!key.empty() && key[0] == 'S' && fields.size() == 4) {
            std::swap(fields[2], fields[3]);
        }
        lines.push_back({key, std::move(fields)});
    }
    return WriteDialLines(path, lines, error, newFileMode,
                          encoding.value_or(table.Product().Rules().FileDefault()));
}

}  // namespace dialvane
