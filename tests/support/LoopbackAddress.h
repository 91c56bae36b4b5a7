#pragma once

#include <arpa/inet.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace dialvane::testing {

// The loopback address a test's emulated MFP listens on: 127.NET.0.HOST. Each test picks its own
// HOST so tests run in parallel; DIALVANE_TEST_NET (0-255, default 0) moves a whole test run to
// its own block, so two checkouts can run their suites side by side on one machine.
inline std::string LoopbackAddress(int host) {
    int net = 0;
    if (const char* value = std::getenv("DIALVANE_TEST_NET")) {
        net = std::atoi(value);
        if (net < 0 || net > 255) {
            net = 0;
        }
    }
    return "127." + std::to_string(net) + ".0." + std::to_string(host);
}

// LoopbackAddress(host) as a resolver hands it over.
inline std::uint32_t LoopbackIpv4(int host) {
    in_addr address{};
    inet_pton(AF_INET, LoopbackAddress(host).c_str(), &address);
    return address.s_addr;
}

}  // namespace dialvane::testing
