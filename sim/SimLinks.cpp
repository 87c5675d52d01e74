// Serial connections that echo what is sent, and one dial-up link.
#include "SimLinks.h"

#include <cstring>

#include "SimWorld.h"

namespace {

constexpr int maxConnections = 8;
constexpr int echoCapacity = 4096;
constexpr size_t maxNumberLength = 32;

struct Connection {
    int handle;  // 0 while the entry is free
    int pending;
    unsigned char echo[echoCapacity];
};
Connection connections[maxConnections];
int lastHandle;  // handles are not reused, so a stale one finds nothing

int dialedDevice = -1;  // the device carrying the dial-up link, or -1

// The entry holding handle; handle 0 names a free entry.
Connection* FindEntry(int handle)
{
    for (Connection& connection : connections)
        if (connection.handle == handle)
            return &connection;
    return nullptr;
}

Connection* FindOpen(int handle)
{
    return handle > 0 ? FindEntry(handle) : nullptr;
}

bool HasSerialChannel(const SimDevice& device, int channel)
{
    for (int i = 0; i < device.serviceCount; ++i)
        if (device.services[i].uuid == BT_SERVICE_SPP && device.services[i].channel == channel)
            return true;
    return false;
}

bool IsDialString(const char* number)
{
    const size_t length = strnlen(number, maxNumberLength + 1);
    return length > 0 && length <= maxNumberLength && strspn(number, "0123456789+*#") == length;
}

// The checks of a call on an open connection, which goes to *open.
int CheckConnectionCall(int handle, bool argumentsValid, Connection** open)
{
    if (int error = CheckCall(argumentsValid))
        return error;
    *open = FindOpen(handle);
    return *open ? BT_OK : BT_ERROR_NOT_FOUND;
}

}  // namespace

void CloseAllLinks()
{
    for (Connection& connection : connections)
        connection.handle = 0;
    dialedDevice = -1;
}

int __cdecl BT_SPP_Connect(BT_ADDR address, int channel, int* connection)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, connection && channel >= 1 && channel <= 30, &index))
        return error;
    if (!HasSerialChannel(simDevices[index], channel))
        return BT_ERROR_NOT_FOUND;
    if (!simPaired[index])
        return BT_ERROR_NOT_PAIRED;
    Connection* opened = FindEntry(0);
    if (!opened)
        return BT_ERROR_BUSY;
    opened->handle = ++lastHandle;
    opened->pending = 0;
    *connection = opened->handle;
    return BT_OK;
}

int __cdecl BT_SPP_SendData(int handle, const void* data, int length, int* sent)
{
    SimHeld held;
    Connection* connection;
    if (int error = CheckConnectionCall(handle, sent && length >= 0 && (data || length == 0), &connection))
        return error;
    const int room = echoCapacity - connection->pending;
    const int taken = length < room ? length : room;
    memcpy(connection->echo + connection->pending, data, taken);
    connection->pending += taken;
    *sent = taken;
    return BT_OK;
}

int __cdecl BT_SPP_RecvData(int handle, void* buffer, int capacity, int* received)
{
    SimHeld held;
    Connection* connection;
    if (int error = CheckConnectionCall(handle, received && capacity >= 0 && (buffer || capacity == 0),
                                        &connection))
        return error;
    const int taken = capacity < connection->pending ? capacity : connection->pending;
    memcpy(buffer, connection->echo, taken);
    connection->pending -= taken;
    memmove(connection->echo, connection->echo + taken, connection->pending);
    *received = taken;
    return BT_OK;
}

int __cdecl BT_SPP_Disconnect(int handle)
{
    SimHeld held;
    Connection* connection;
    if (int error = CheckConnectionCall(handle, true, &connection))
        return error;
    connection->handle = 0;
    return BT_OK;
}

int __cdecl BT_DUN_Dialup(BT_ADDR address, const char* number)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, number && IsDialString(number), &index))
        return error;
    if (!FindService(simDevices[index], BT_SERVICE_DUN))
        return BT_ERROR_NOT_FOUND;
    if (!simPaired[index])
        return BT_ERROR_NOT_PAIRED;
    if (dialedDevice >= 0)
        return BT_ERROR_BUSY;
    dialedDevice = index;
    return BT_OK;
}

int __cdecl BT_DUN_Hangup(BT_ADDR address)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, true, &index))
        return error;
    if (dialedDevice != index)
        return BT_ERROR_NOT_CONNECTED;
    dialedDevice = -1;
    return BT_OK;
}
