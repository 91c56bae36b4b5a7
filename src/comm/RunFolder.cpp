#include "comm/RunFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace dialvane {

std::unique_ptr<RunFolder> RunFolder::Create(const std::string& dataFolder, std::string* error) {
    std::string pattern = dataFolder;
    if (!pattern.empty() && pattern.back() != '/') {
        pattern += '/';
    }
    pattern += "run.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        *error = pattern + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<RunFolder>(new RunFolder(pattern + "/"));
}

RunFolder::~RunFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace dialvane
