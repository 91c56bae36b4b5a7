// The channel library over the kernel's USB printer class: one device node per printer, one
// channel on it. Sends are writes, receives wait on the node and read what it holds.

#include "zeviz.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include "PrinterNode.h"

namespace {

// The one channel each printer offers: numbered as the program prefers it, read and write.
constexpr uint32_t kChannelNumber = 0x00000004;
constexpr uint16_t kChannelMode = 0x0003;
constexpr int kWriteTimeoutMs = 3000;
constexpr std::size_t kMaxChannels = 8;

struct Channel {
    int fd = -1;
    int cancel = -1;  // an eventfd that ends a pending receive
    std::string node;
};

std::mutex mutex;
bool initialized = false;
std::array<Channel, kMaxChannels> channels;

void CloseChannel(Channel& channel) {
    if (channel.fd >= 0) {
        close(channel.fd);
    }
    if (channel.cancel >= 0) {
        close(channel.cancel);
    }
    channel = Channel{};
}

// The first name of a list of names, each ending in a 0 byte.
std::string FirstPrinter(const char* printers) {
    return printers != nullptr ? std::string(printers) : std::string();
}

int ErrorFor(int error) {
    switch (error) {
        case EAGAIN:
            return MVER_TIMEOUT;
        case EBUSY:
            return MVER_BUSY;
        case ENOENT:
        case ENXIO:
            return MVER_NOTFOUND;
        case EACCES:
        case EPERM:
            return MVER_PORT;
        default:
            return MVER_COMMUNICATION;
    }
}

// Copies the file descriptors of a handle out from under the lock: a receive may wait long.
bool Descriptors(int32_t handle, int& fd, int& cancel) {
    std::lock_guard lock(mutex);
    if (handle < 0 || static_cast<std::size_t>(handle) >= kMaxChannels || channels[handle].fd < 0) {
        return false;
    }
    fd = channels[handle].fd;
    cancel = channels[handle].cancel;
    return true;
}

void Drain(int fd) {
    uint64_t count;
    while (read(fd, &count, sizeof count) > 0) {
    }
}

int32_t CopyOut(const std::string& text, char* buffer, uint32_t* size) {
    if (size == nullptr || (buffer == nullptr && *size > 0)) {
        return MVER_PARAMETER;
    }
    if (*size < text.size() + 1) {
        *size = static_cast<uint32_t>(text.size() + 1);
        return MVER_BUFFERSIZE;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *size = static_cast<uint32_t>(text.size());
    return 0;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t MVInitialize(void) {
    std::lock_guard lock(mutex);
    initialized = true;
    return 0;
}

__attribute__((visibility("default"))) int32_t MVRelease(void) {
    std::lock_guard lock(mutex);
    for (Channel& channel : channels) {
        CloseChannel(channel);
    }
    initialized = false;
    return 0;
}

__attribute__((visibility("default"))) int32_t MVGetDeviceID(int32_t, const char* printers,
                                                             char* buffer, uint32_t* size) {
    if (!initialized) {
        return MVER_INITIALIZE;
    }
    zeviz::PrinterNode printer;
    if (!zeviz::FindPrinter(FirstPrinter(printers), printer)) {
        return MVER_PRINTER;
    }
    std::string id = printer.deviceId;
    if (id.empty()) {
        const int fd = open(printer.node.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return ErrorFor(errno);
        }
        id = zeviz::QueryDeviceId(fd, printer.node);
        close(fd);
    }
    return CopyOut(id, buffer, size);
}

__attribute__((visibility("default"))) int32_t MVGetAvailableChannel(int32_t, const char* printers,
                                                                     uint8_t* buffer,
                                                                     uint32_t* size) {
    if (!initialized) {
        return MVER_INITIALIZE;
    }
    zeviz::PrinterNode printer;
    if (!zeviz::FindPrinter(FirstPrinter(printers), printer)) {
        return MVER_PRINTER;
    }
    if (size == nullptr) {
        return MVER_PARAMETER;
    }
    if (*size < MV_CHANNEL_RECORD_SIZE || buffer == nullptr) {
        *size = MV_CHANNEL_RECORD_SIZE;
        return MVER_BUFFERSIZE;
    }
    for (int i = 0; i < 4; ++i) {
        buffer[i] = static_cast<uint8_t>(kChannelNumber >> (8 * i));
    }
    buffer[4] = static_cast<uint8_t>(kChannelMode);
    buffer[5] = static_cast<uint8_t>(kChannelMode >> 8);
    buffer[6] = buffer[7] = 0;
    *size = MV_CHANNEL_RECORD_SIZE;
    return 1;
}

__attribute__((visibility("default"))) int32_t MVOpenChannel(int32_t, const char* printers,
                                                             uint32_t channelNumber) {
    if (!initialized) {
        return MVER_INITIALIZE;
    }
    if (channelNumber != kChannelNumber) {
        return MVER_NOTSUPPORT;
    }
    zeviz::PrinterNode printer;
    if (!zeviz::FindPrinter(FirstPrinter(printers), printer)) {
        return MVER_PRINTER;
    }
    std::lock_guard lock(mutex);
    // The program opens again for every connection: the node's earlier channel is done with.
    for (Channel& channel : channels) {
        if (channel.fd >= 0 && channel.node == printer.node) {
            CloseChannel(channel);
        }
    }
    for (std::size_t handle = 0; handle < kMaxChannels; ++handle) {
        Channel& channel = channels[handle];
        if (channel.fd >= 0) {
            continue;
        }
        channel.fd = open(printer.node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (channel.fd < 0) {
            const int error = ErrorFor(errno);
            channel = Channel{};
            return error;
        }
        channel.cancel = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        channel.node = printer.node;
        return static_cast<int32_t>(handle);
    }
    return MVER_BUSY;
}

__attribute__((visibility("default"))) int32_t MVCloseChannel(int32_t handle) {
    std::lock_guard lock(mutex);
    if (handle < 0 || static_cast<std::size_t>(handle) >= kMaxChannels || channels[handle].fd < 0) {
        return MVER_HANDLE;
    }
    CloseChannel(channels[handle]);
    return 0;
}

__attribute__((visibility("default"))) int32_t MVGetStatus(int32_t handle, uint8_t*,
                                                           uint32_t* size) {
    int fd, cancel;
    if (!Descriptors(handle, fd, cancel)) {
        return MVER_HANDLE;
    }
    if (size != nullptr) {
        *size = 0;
    }
    return 0;
}

__attribute__((visibility("default"))) int32_t MVSend(int32_t handle, const uint8_t* bytes,
                                                      uint16_t count) {
    int fd, cancel;
    if (!Descriptors(handle, fd, cancel)) {
        return MVER_HANDLE;
    }
    if (bytes == nullptr && count > 0) {
        return MVER_PARAMETER;
    }
    pollfd ready{fd, POLLOUT, 0};
    int rc;
    while ((rc = poll(&ready, 1, kWriteTimeoutMs)) < 0 && errno == EINTR) {
    }
    if (rc == 0) {
        return MVER_TIMEOUT;
    }
    if (rc < 0 || (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return MVER_COMMUNICATION;
    }
    ssize_t written;
    while ((written = write(fd, bytes, count)) < 0 && errno == EINTR) {
    }
    return written < 0 ? ErrorFor(errno) : static_cast<int32_t>(written);
}

__attribute__((visibility("default"))) int32_t MVReceive(int32_t handle, uint8_t* buffer,
                                                         uint32_t* size, int32_t timeoutMs) {
    int fd, cancel;
    if (!Descriptors(handle, fd, cancel)) {
        return MVER_HANDLE;
    }
    if (size == nullptr || (buffer == nullptr && *size > 0)) {
        return MVER_PARAMETER;
    }
    Drain(cancel);
    std::array<pollfd, 2> fds{pollfd{fd, POLLIN, 0}, pollfd{cancel, POLLIN, 0}};
    int rc;
    while ((rc = poll(fds.data(), fds.size(), timeoutMs < 0 ? -1 : timeoutMs)) < 0 &&
           errno == EINTR) {
    }
    if (rc == 0) {
        return MVER_TIMEOUT;
    }
    if (rc < 0) {
        return MVER_COMMUNICATION;
    }
    if (fds[1].revents != 0) {
        Drain(cancel);
        return MVER_USERCANCEL;
    }
    if ((fds[0].revents & POLLIN) == 0) {
        return MVER_COMMUNICATION;  // hung up: the printer is gone
    }
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0 &&
        static_cast<uint32_t>(waiting) > *size) {
        *size = static_cast<uint32_t>(waiting);
        return MVER_BUFFERSIZE;
    }
    ssize_t got;
    while ((got = read(fd, buffer, *size)) < 0 && errno == EINTR) {
    }
    if (got < 0) {
        return ErrorFor(errno);
    }
    if (got == 0) {
        return MVER_COMMUNICATION;
    }
    *size = static_cast<uint32_t>(got);
    return static_cast<int32_t>(got);
}

__attribute__((visibility("default"))) int32_t MVReceiveCancel(int32_t handle) {
    int fd, cancel;
    if (!Descriptors(handle, fd, cancel)) {
        return MVER_HANDLE;
    }
    const uint64_t one = 1;
    return write(cancel, &one, sizeof one) == sizeof one ? 0 : MVER_COMMUNICATION;
}
}
