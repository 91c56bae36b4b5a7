#pragma once

// The zero-work reference: the exact commands the program sent, replayed over a plain socket,
// each followed by a blocking read of its answer's bytes and nothing else. Against the same
// emulated MFP it is the floor of a run; what the program takes beyond it is its own overhead.

#include <cstddef>
#include <string>
#include <vector>

#include "MfpEmulator.h"

namespace dialvane::bench {

struct ReplayCommand {
    int connection = 0;  // a new number opens a new connection, as the program did
    std::string bytes;
    std::size_t answerBytes = 0;  // learned by LearnAnswers
};

// The commands of `transcript` from position `from` on.
std::vector<ReplayCommand> CommandsOf(const std::vector<ReceivedCommand>& transcript,
                                      std::size_t from);

// One untimed replay that reads each answer with the program's answer scanner, to learn how
// many bytes each answer has. False when an answer did not arrive whole.
bool LearnAnswers(const std::string& address, std::vector<ReplayCommand>& commands);

// The timed replay: seconds, or a negative value when the device did not answer as learned.
double Replay(const std::string& address, const std::vector<ReplayCommand>& commands);

}  // namespace dialvane::bench
