#include "UserFileEncoding.h"

#include "support/Messages.h"

namespace dialvane {

FileEncoding UserFileEncoding(const CliOptions& options) {
    return ParseFileEncoding(options.encoding).value_or(DefaultFileEncoding());
}

LoadResult LoadUserFile(const CliOptions& options, DialModel& model, const TProductInfo& product) {
    LoadResult result = LoadDialFile(options.file, model, product, UserFileEncoding(options));
    if (result.looksLikeUtf8 && !result.errorLines.empty()) {
        result.errorLines.insert(result.errorLines.begin() + 1, Text(Msg::FileLooksLikeUtf8));
    }
    return result;
}

}  // namespace dialvane
