#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "data/ProductInfo.h"
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

// A quick-dial product (200 speed dials, 12 quick dials, keywords) or a one-touch one (60 speed
// dials, buttons A, B and C, no keywords), in English or in Japanese.
inline const TProductInfo& Product(bool oneTouch, bool japanese) {
    static const std::string ini =
        ScratchFile("profiles.ini",
                    "[QUICK]\nFaxType=1\n[ONE]\nFaxType=2\n"
                    "[FaxType1]\nSpeedDial=200\nQuickDial=12\nSpeedDialKeyword=1\n"
                    "[FaxType2]\nSpeedDial=60\nQuickDial=3\nSpeedDialKeyword=0\n");
    static std::unique_ptr<TProductInfo> products[4];
    std::unique_ptr<TProductInfo>& product = products[(oneTouch ? 1 : 0) + (japanese ? 2 : 0)];
    if (!product) {
        product = std::make_unique<TProductInfo>(ini, TextRulesForLanguage(japanese ? "JPN" : ""));
        product->Load(oneTouch ? "ONE" : "QUICK");
    }
    return *product;
}

}  // namespace dialvane::fuzz
