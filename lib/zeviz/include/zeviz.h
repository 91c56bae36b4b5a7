/* The device-channel library interface: ten C entry points, looked up by name at run time.
 * Every entry point returns a 32-bit signed result; a negative result is one of the MVER_
 * codes below. Printer names are passed as a list: each name ends in a 0 byte and the list
 * ends in one more. */
#ifndef ZEVIZ_H
#define ZEVIZ_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MVER_PORT (-1)
#define MVER_PRINTER (-2)
#define MVER_NOTFOUND (-3)
#define MVER_BUFFERSIZE (-4)
#define MVER_NOTSUPPORT (-5)
#define MVER_HANDLE (-7)
#define MVER_TIMEOUT (-9)
#define MVER_USERCANCEL (-10)
#define MVER_NOTBLOCK (-11)
#define MVER_INITIALIZE (-13)
#define MVER_PARAMETER (-15)
#define MVER_COMMUNICATION (-16)
#define MVER_BUSY (-17)

/* One offered channel as MVGetAvailableChannel writes it: 8 bytes, the channel number
 * little-endian in bytes 0-3, the mode mask little-endian in bytes 4-5, bytes 6-7 zero. */
#define MV_CHANNEL_RECORD_SIZE 8

typedef int32_t (*MVInitializeFn)(void);
typedef int32_t (*MVReleaseFn)(void);
typedef int32_t (*MVGetDeviceIDFn)(int32_t kind, const char* printers, char* buffer,
                                   uint32_t* size);
typedef int32_t (*MVGetAvailableChannelFn)(int32_t kind, const char* printers, uint8_t* buffer,
                                           uint32_t* size);
typedef int32_t (*MVOpenChannelFn)(int32_t kind, const char* printers, uint32_t channel);
typedef int32_t (*MVCloseChannelFn)(int32_t handle);
typedef int32_t (*MVGetStatusFn)(int32_t handle, uint8_t* buffer, uint32_t* size);
typedef int32_t (*MVSendFn)(int32_t handle, const uint8_t* bytes, uint16_t count);
/* `size` holds the buffer's size; on success the count received, on MVER_BUFFERSIZE the size
 * needed. A negative timeout waits until data arrives or MVReceiveCancel is called. */
typedef int32_t (*MVReceiveFn)(int32_t handle, uint8_t* buffer, uint32_t* size, int32_t timeoutMs);
typedef int32_t (*MVReceiveCancelFn)(int32_t handle);

int32_t MVInitialize(void);
int32_t MVRelease(void);
int32_t MVGetDeviceID(int32_t kind, const char* printers, char* buffer, uint32_t* size);
int32_t MVGetAvailableChannel(int32_t kind, const char* printers, uint8_t* buffer, uint32_t* size);
int32_t MVOpenChannel(int32_t kind, const char* printers, uint32_t channel);
int32_t MVCloseChannel(int32_t handle);
int32_t MVGetStatus(int32_t handle, uint8_t* buffer, uint32_t* size);
int32_t MVSend(int32_t handle, const uint8_t* bytes, uint16_t count);
int32_t MVReceive(int32_t handle, uint8_t* buffer, uint32_t* size, int32_t timeoutMs);
int32_t MVReceiveCancel(int32_t handle);

#ifdef __cplusplus
}
#endif

#endif
