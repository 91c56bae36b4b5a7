#include "UserFileEncoding.h"

#include "StandardStreams.h"
#include "support/Messages.h"

namespace dialvane {

FileEncoding UserFileEncoding(const CliOptions& options, const TextRules& rules) {
    return ParseFileEncoding(options.encoding).value_or(rules.FileDefault());
}

LoadResult LoadUserFile(const CliOptions& options, DialModel& model, const TProductInfo& product,
                        const std::function<void(const std::string&)>& warn) {
    LoadResult result;
    if (options.file == kStandardStream) {
        const std::optional<std::string> bytes = StandardInputBytes();
        if (!bytes) {
            model.Clear();
            result.readable = false;
            result.readError = Text(Msg::FileCannotRead) + "(" + Text(Msg::CliStandardInput) + ")";
            return result;
        }
        result = LoadDialBytes(*bytes, model, product, UserFileEncoding(options, product.Rules()));
    } else {
        result =
            LoadDialFile(options.file, model, product, UserFileEncoding(options, product.Rules()));
    }
    if (result.looksLikeUtf8 && result.characterErrors) {
        result.errorLines.insert(result.errorLines.begin() + 1, Text(Msg::FileLooksLikeUtf8));
    } else if (result.looksLikeUtf8 && warn) {
        warn(Text(Msg::FileMaybeGarbled,
                  std::string(FileEncodingName(UserFileEncoding(options, product.Rules())))));
    }
    return result;
}

}  // namespace dialvane
