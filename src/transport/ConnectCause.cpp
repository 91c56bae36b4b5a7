#include "transport/ConnectCause.h"

#include <cerrno>
#include <cstring>

#include "support/Messages.h"

namespace dialvane {

ConnectCause CauseOfConnectError(int error) {
    switch (error) {
        case ECONNREFUSED:
            return ConnectCause::Refused;
        case ETIMEDOUT:
            return ConnectCause::NoAnswer;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN:
        case EHOSTDOWN:
            return ConnectCause::Unreachable;
        default:
            return ConnectCause::Other;
    }
}

std::string ConnectCauseText(ConnectCause cause, int error, int timeoutMs) {
    switch (cause) {
        case ConnectCause::Refused:
            return Text(Msg::CommCauseRefused);
        case ConnectCause::NoAnswer:
            // Rounded up: a wait of 200 ms is not "within 0 s".
            return Text(Msg::CommCauseNoAnswer, (timeoutMs + 999) / 1000);
        case ConnectCause::HostNotFound:
            return Text(Msg::CommCauseHostNotFound);
        case ConnectCause::IPv6Address:
            return Text(Msg::CommCauseIPv6Address);
        case ConnectCause::Unreachable:
            return Text(Msg::CommCauseUnreachable);
        case ConnectCause::Other:
            break;
    }
    return std::strerror(error);
}

}  // namespace dialvane
