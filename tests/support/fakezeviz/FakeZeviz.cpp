#include "FakeZeviz.h"

#include <algorithm>
#include <cstring>

#include "zeviz.h"

namespace {

fakezeviz::State state;

std::string PrinterList(const char* printers) {
    std::string list;
    for (const char* p = printers; *p != '\0'; p += std::strlen(p) + 1) {
        list.append(p, std::strlen(p) + 1);
    }
    return list + '\0';
}

}  // namespace

extern "C" {

fakezeviz::State* FakeZevizState() {
    return &state;
}

int32_t MVInitialize(void) {
    state.calls.push_back("MVInitialize");
    return state.initializeResult;
}

int32_t MVRelease(void) {
    state.calls.push_back("MVRelease");
    return 0;
}

int32_t MVGetDeviceID(int32_t, const char* printers, char* buffer, uint32_t* size) {
    state.calls.push_back("MVGetDeviceID");
    state.printersPassed = PrinterList(printers);
    if (*size < state.deviceId.size() + 1) {
        *size = static_cast<uint32_t>(state.deviceId.size() + 1);
        return MVER_BUFFERSIZE;
    }
    std::memcpy(buffer, state.deviceId.c_str(), state.deviceId.size() + 1);
    *size = static_cast<uint32_t>(state.deviceId.size());
    return 0;
}

int32_t MVGetAvailableChannel(int32_t, const char* printers, uint8_t* buffer, uint32_t* size) {
    state.calls.push_back("MVGetAvailableChannel");
    state.printersPassed = PrinterList(printers);
    const uint32_t needed = static_cast<uint32_t>(state.channels.size() * MV_CHANNEL_RECORD_SIZE);
    if (*size < needed) {
        *size = needed;
        return MVER_BUFFERSIZE;
    }
    for (std::size_t i = 0; i < state.channels.size(); ++i) {
        uint8_t* record = buffer + i * MV_CHANNEL_RECORD_SIZE;
        const auto [number, mode] = state.channels[i];
        for (int b = 0; b < 4; ++b) {
            record[b] = static_cast<uint8_t>(number >> (8 * b));
        }
        record[4] = static_cast<uint8_t>(mode);
        record[5] = static_cast<uint8_t>(mode >> 8);
        record[6] = record[7] = 0;
    }
    *size = needed;
    return static_cast<int32_t>(state.channels.size());
}

int32_t MVOpenChannel(int32_t, const char* printers, uint32_t channel) {
    state.calls.push_back("MVOpenChannel");
    state.printersPassed = PrinterList(printers);
    state.openedChannel = channel;
    return state.openResult;
}

int32_t MVCloseChannel(int32_t) {
    state.calls.push_back("MVCloseChannel");
    return 0;
}

int32_t MVGetStatus(int32_t, uint8_t*, uint32_t*) {
    state.calls.push_back("MVGetStatus");
    return 0;
}

int32_t MVSend(int32_t, const uint8_t* bytes, uint16_t count) {
    state.calls.push_back("MVSend");
    const int accepted = std::min<int>(count, state.sendLimit);
    state.sent.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(accepted));
    return accepted;
}

int32_t MVReceive(int32_t, uint8_t* buffer, uint32_t* size, int32_t) {
    state.calls.push_back("MVReceive");
    state.receiveSizes.push_back(*size);
    if (state.receives.empty()) {
        return MVER_TIMEOUT;
    }
    const fakezeviz::ReceiveAnswer answer = state.receives.front();
    state.receives.pop_front();
    if (answer.result >= 0) {
        // A faulty library may write what it claims; the test keeps data within the buffer.
        std::memcpy(buffer, answer.data.data(), std::min<std::size_t>(answer.data.size(), *size));
    }
    *size = answer.size;
    return answer.result;
}

#ifndef FAKE_ZEVIZ_WITHOUT_CANCEL
int32_t MVReceiveCancel(int32_t) {
    state.calls.push_back("MVReceiveCancel");
    return 0;
}
#endif
}
