#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/FileUtil.h"

namespace dialvane::fuzz {

// A property the input broke: the fuzzer keeps the input and reports it as a crash.
[[noreturn]] inline void Broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// A private folder for the files a reader needs, in memory where the system has one, so the
// flushes of atomic saves cost nothing.
inline const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
            "/dialvane-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        if (made == nullptr) {
            Broken("no scratch folder");
        }
        return std::string(made) + "/";
    }();
    return folder;
}

inline std::string ScratchFile(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchFolder() + name;
    if (!WriteFileAtomic(path, bytes)) {
        Broken("scratch file not written");
    }
    return path;
}

}  // namespace dialvane::fuzz
