#pragma once
// The simulated backend's world: one local radio and a few remote devices
// with fixed services. Everything that changes (pairings, links, discovery)
// is guarded by simLock, since hosts may call from any thread.
#include <windows.h>

#include "Locker.h"
#include "vornel.h"

struct SimService {
    unsigned short uuid;
    unsigned char channel;
    const char* name;
};

struct SimDevice {
    BT_ADDR address;
    const char* name;
    unsigned int classOfDevice;
    const char* pin;
    SimService services[3];
    int serviceCount;
};

extern const BT_RADIO_INFO simRadio;
extern const SimDevice simDevices[];
extern const int simDeviceCount;

extern Locker simLock;
extern bool simStarted;       // between the backend's BT_Init and BT_Exit
extern bool simPaired[];      // by device index

// Holds simLock for one scope.
class SimHeld {
public:
    SimHeld() { simLock.Lock(); }
    ~SimHeld() { simLock.Unlock(); }
    SimHeld(const SimHeld&) = delete;
    SimHeld& operator=(const SimHeld&) = delete;
};

// Sets *index to the device's index; else answers why there is none: a
// malformed address or an unknown device.
int FindDevice(BT_ADDR address, int* index);
const SimService* FindService(const SimDevice& device, unsigned short uuid);
void FillDevice(int index, BT_DEVICE_INFO* info);  // under simLock
void CopyName(char (&target)[BT_NAME_SIZE], const char* name);

// Fills up to capacity records of an array by index, with the contract's rules
// for a short array: BT_ERROR_MORE_DATA, and *count says how many there are.
template <typename Record, typename Fill>
int FillArray(Record* records, int capacity, int* count, int available, Fill fill)
{
    if (!count || capacity < 0 || (!records && capacity > 0))
        return BT_ERROR_INVALID_ARGUMENT;
    const int filled = available < capacity ? available : capacity;
    for (int i = 0; i < filled; ++i)
        fill(i, &records[i]);
    *count = available;
    return available > capacity ? BT_ERROR_MORE_DATA : BT_OK;
}

// What every export but BT_Init checks first, under simLock, in this order:
// that the backend is started, that the arguments are well formed and, for
// one that names a device, that it is known (its index goes to *index).
inline int CheckCall(bool argumentsValid = true)
{
    if (!simStarted)
        return BT_ERROR_NOT_READY;
    return argumentsValid ? BT_OK : BT_ERROR_INVALID_ARGUMENT;
}

inline int CheckDeviceCall(BT_ADDR address, bool argumentsValid, int* index)
{
    if (int error = CheckCall(argumentsValid))
        return error;
    return FindDevice(address, index);
}
