#pragma once

#include <string>

namespace dialvane::testing {

// The largest list an extended model holds, as a user file: 200 speed dials with keywords,
// 20 groups of 20, 12 quick dials and a 20-character sender.
inline std::string FullDialList() {
    std::string text;
    for (int n = 1; n <= 200; ++n) {
        text += "S" + std::to_string(n) + ",Name " + std::to_string(n) + ",03" +
                std::to_string(5550000 + n) + ",kw" + std::to_string(n) + "\r\n";
    }
    for (int g = 1; g <= 20; ++g) {
        text += "G" + std::to_string(g) + ",Group " + std::to_string(g);
        for (int m = 1; m <= 20; ++m) {
            text += ",S" + std::to_string((g - 1) * 9 + m);
        }
        text += "\r\n";
    }
    for (int w = 1; w <= 12; ++w) {
        text += "W" + std::to_string(w) + (w % 2 ? ",S" : ",G") + std::to_string(w) + "\r\n";
    }
    return text + "N,Head Office Sender01\r\n";
}

}  // namespace dialvane::testing
