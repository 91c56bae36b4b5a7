#pragma once

#include <cstdint>
#include <string>

namespace dialvane {

// The protocol's timing and retry settings, read once at start-up from section "QNL_ENV" of
// the program settings file. The member initialisers are the values held before that read.
struct QnlEnvRecord {
    std::string connectNo = "0001";    // four upper-case hex digits, sent in every envelope
    std::string openTimeout = "003C";  // seconds, four hex digits
    std::string readTimeout = "003C";  // seconds, four hex digits
    uint8_t openRetryCount = 3;
    int32_t openRetryTime = 5000;  // ms between occupy-start attempts
    uint8_t nackRetryCount = 3;
    int32_t nackRetryTime = 1000;  // ms between retries after a busy answer
    int32_t polingRate = 100;      // ms between polls of the receive thread
    int32_t tcpPolingRate = 10;    // ms; only shown in the log header
    int32_t timeout = 10000;       // ms to wait for a device answer
    int32_t readDelay = 0;         // ms of receive delay, 0 = none
};

}  // namespace dialvane
