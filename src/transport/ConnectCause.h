#pragma once

#include <string>

namespace dialvane {

// Why a connect attempt to the device failed, in the words a user can act on.
enum class ConnectCause {
    Refused,       // nothing listens there: wrong address or the device is busy starting up
    NoAnswer,      // nobody answered in time: switched off, unplugged or filtered
    HostNotFound,  // the name does not resolve to an IPv4 address
    IPv6Address,   // an IPv6 address, where the device is reached over IPv4
    Unreachable,   // no route to that network from this computer
    Other,         // any other system error, told by its own text
};

// The cause of a connect that failed with this errno value.
ConnectCause CauseOfConnectError(int error);

// The cause as the text added in parentheses to the failure message. `error` gives the system's
// text for Other; `timeoutMs` the waiting time NoAnswer names.
std::string ConnectCauseText(ConnectCause cause, int error, int timeoutMs);

}  // namespace dialvane
