#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Includes only go down this list; the window and the programs stand on top of everything.
const std::map<std::string, int> kAreaLevel{
    {"support", 0},   {"data", 1}, {"contacts", 2}, {"protocol", 3},
    {"transport", 4}, {"comm", 5}, {"ui", 6},
};
constexpr int kTopLevel = 6;

struct Include {
    int line;
    std::string area;
    std::string text;
};

std::vector<Include> AreaIncludes(const fs::path& file) {
    static const std::regex kInclude(R"re(^\s*#\s*include\s*"([a-z_]+)/[^"]+")re");
    std::vector<Include> found;
    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::smatch match;
        if (std::regex_search(text, match, kInclude) && kAreaLevel.contains(match[1].str())) {
            found.push_back({line, match[1].str(), text});
        }
    }
    return found;
}

// The level of a file: its area under src/, the top for the programs and tools.
std::optional<int> FileLevel(const std::string& relative) {
    if (relative.starts_with("apps/") || relative.starts_with("tools/")) {
        return kTopLevel;
    }
    const std::string area = relative.substr(4, relative.find('/', 4) - 4);
    const auto level = kAreaLevel.find(area);
    return level == kAreaLevel.end() ? std::nullopt : std::optional<int>(level->second);
}

bool IsShell(const std::string& relative) {
    return relative.starts_with("src/ui/") || relative.starts_with("apps/");
}

// Every breach as "file:line: why".
std::vector<std::string> Breaches(const fs::path& root) {
    std::vector<std::string> breaches;
    for (const char* top : {"src", "apps", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() ||
                (extension != ".h" && extension != ".cpp" && extension != ".c")) {
                continue;
            }
            const std::string relative = fs::relative(entry.path(), root).generic_string();
            const std::optional<int> level = FileLevel(relative);
            if (!level) {
                continue;
            }
            for (const Include& include : AreaIncludes(entry.path())) {
                const std::string where = relative + ":" + std::to_string(include.line) + ": ";
                if (kAreaLevel.at(include.area) > *level) {
                    breaches.push_back(where + "includes up the layers: " + include.text);
                } else if (IsShell(relative) &&
                           (include.area == "transport" || include.area == "protocol")) {
                    breaches.push_back(
                        where + "the window and the programs call src/comm: " + include.text);
                }
            }
        }
    }
    std::sort(breaches.begin(), breaches.end());
    return breaches;
}

TEST(Layering, IncludesOnlyGoDownTheLayers) {
    const std::vector<std::string> breaches = Breaches(DIALVANE_SOURCE_DIR);
    std::string report;
    for (const std::string& breach : breaches) {
        report += breach + "\n";
    }
    EXPECT_TRUE(breaches.empty()) << report;
}

}  // namespace
