#include "StandardStreams.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <ostream>

#include "CliOptions.h"
#include "comm/RunFolder.h"
#include "support/FileUtil.h"
#include "support/Messages.h"

namespace dialvane {

std::optional<std::string> StandardInputBytes() {
    static std::once_flag once;
    static std::optional<std::string> bytes;
    std::call_once(once, [] {
        std::string read;
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got == 0) {
                bytes = std::move(read);
                return;
            }
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            read.append(buffer, static_cast<std::size_t>(got));
            // Whatever is piped in is held whole: refuse what no dial list can be.
            if (read.size() > kUserFileLimit) {
                return;
            }
        }
    });
    return bytes;
}

bool CopyFileTo(const std::string& path, std::ostream& out) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        return false;
    }
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    out.flush();
    return static_cast<bool>(out);
}

std::optional<int> WriteWholeResult(const std::string& output, const std::string& dataFolder,
                                    std::ostream& out, std::ostream& err,
                                    const ResultWriter& write) {
    std::string error;
    std::unique_ptr<RunFolder> folder;
    std::string target = output;
    if (output == kStandardStream) {
        folder = RunFolder::Create(dataFolder, &error);
        if (!folder) {
            err << error << '\n';
            return kExitUsage;
        }
        target = folder->File("result.csv");
    }
    if (!write(target, &error)) {
        err << error << '\n';
        return kExitUsage;
    }
    if (folder && !CopyFileTo(target, out)) {
        err << "dialvane-cli: " << Text(Msg::CliStandardOutputFailed) << '\n';
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace dialvane
