#pragma once

// The scripted stand-in for the device-channel library: the test sets the answers through
// the state this library exports, then watches what the program passed.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace fakezeviz {

struct ReceiveAnswer {
    int result = 0;          // the return value; data is copied when it is not negative
    std::uint32_t size = 0;  // the size reported back (-4: the size needed)
    std::string data;
};

struct State {
    int initializeResult = 0;
    std::string deviceId = "MFG:ORVEX;MDL:DX-R7700;";
    // (channel number, mode mask) offered.
    std::vector<std::pair<std::uint32_t, std::uint16_t>> channels{{0x00000004, 3}};
    int openResult = 5;                  // the handle
    int sendLimit = 1 << 30;             // at most this many bytes accepted per send
    std::deque<ReceiveAnswer> receives;  // empty: -9

    // What the program did.
    std::vector<std::string> calls;  // entry point names in call order
    std::string printersPassed;      // the printer list of the last call, both 0 bytes kept
    std::uint32_t openedChannel = 0;
    std::vector<std::uint32_t> receiveSizes;  // the buffer size of every MVReceive
    std::string sent;
};

}  // namespace fakezeviz

extern "C" fakezeviz::State* FakeZevizState();
