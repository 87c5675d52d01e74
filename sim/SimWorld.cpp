#include "SimWorld.h"

#include <cstring>

const BT_RADIO_INFO simRadio = {
    0x001A7DDA7101ull, "Vornel Simulated Radio", 0x1C010C, 0x000F, 9, 1};

const SimDevice simDevices[] = {
    {0x001A7D000001ull, "Orla Phone", 0x5A020C, "0000",
     {{BT_SERVICE_SPP, 1, "Serial Port"}, {BT_SERVICE_DUN, 2, "Dial-up Networking"},
      {BT_SERVICE_OPP, 3, "Object Push"}}, 3},
    {0x001A7D000002ull, "Brae Laptop", 0x3A010C, "1234",
     {{BT_SERVICE_SPP, 4, "Serial Port"}, {BT_SERVICE_OPP, 5, "Object Push"}}, 2},
    {0x001A7D000003ull, "Tamsin GPS", 0x001F00, "0000",
     {{BT_SERVICE_SPP, 1, "NMEA Stream"}}, 1},
    {0x001A7D000004ull, "Kell Printer", 0x040680, "4321",
     {{BT_SERVICE_OPP, 1, "Object Push"}}, 1},
};
const int simDeviceCount = sizeof simDevices / sizeof simDevices[0];

Locker simLock;
bool simStarted;
bool simPaired[sizeof simDevices / sizeof simDevices[0]];

int FindDevice(BT_ADDR address, int* index)
{
    if (address >> 48)
        return BT_ERROR_INVALID_ARGUMENT;
    for (*index = 0; *index < simDeviceCount; ++*index)
        if (simDevices[*index].address == address)
            return BT_OK;
    return BT_ERROR_NOT_FOUND;
}

const SimService* FindService(const SimDevice& device, unsigned short uuid)
{
    for (int i = 0; i < device.serviceCount; ++i)
        if (device.services[i].uuid == uuid)
            return &device.services[i];
    return nullptr;
}

void FillDevice(int index, BT_DEVICE_INFO* info)
{
    const SimDevice& device = simDevices[index];
    info->address = device.address;
    CopyName(info->name, device.name);
    info->classOfDevice = device.classOfDevice;
    info->paired = simPaired[index];
}

void CopyName(char (&target)[BT_NAME_SIZE], const char* name)
{
    memset(target, 0, sizeof target);
    strncpy(target, name, sizeof target - 1);
}
