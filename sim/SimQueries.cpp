// The radio, the devices, their services and pairing.
#include <cstring>

#include "SimWorld.h"

namespace {

void FillService(const SimService& from, BT_SERVICE_INFO* service)
{
    service->uuid = from.uuid;
    service->channel = from.channel;
    CopyName(service->name, from.name);
}

}  // namespace

int __cdecl BT_QueryRadio(BT_RADIO_INFO* radio)
{
    SimHeld held;
    if (int error = CheckCall(radio != nullptr))
        return error;
    *radio = simRadio;
    return BT_OK;
}

int __cdecl BT_QueryDevice(BT_ADDR address, BT_DEVICE_INFO* info)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, info != nullptr, &index))
        return error;
    FillDevice(index, info);
    return BT_OK;
}

int __cdecl BT_ListServices(BT_ADDR address, BT_SERVICE_INFO* services, int capacity, int* count)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, true, &index))
        return error;
    const SimDevice& device = simDevices[index];
    return FillArray(services, capacity, count, device.serviceCount,
                     [&](int i, BT_SERVICE_INFO* service) { FillService(device.services[i], service); });
}

int __cdecl BT_QueryService(BT_ADDR address, unsigned short uuid, BT_SERVICE_INFO* service)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, service != nullptr, &index))
        return error;
    const SimService* found = FindService(simDevices[index], uuid);
    if (!found)
        return BT_ERROR_NOT_FOUND;
    FillService(*found, service);
    return BT_OK;
}

int __cdecl BT_Pair(BT_ADDR address, const char* pin)
{
    SimHeld held;
    const size_t pinLength = pin ? strnlen(pin, 17) : 0;
    int index;
    if (int error = CheckDeviceCall(address, pinLength >= 1 && pinLength <= 16, &index))
        return error;
    if (strcmp(pin, simDevices[index].pin) != 0)
        return BT_ERROR_AUTH_FAILED;
    simPaired[index] = true;
    return BT_OK;
}

int __cdecl BT_UnPair(BT_ADDR address)
{
    SimHeld held;
    int index;
    if (int error = CheckDeviceCall(address, true, &index))
        return error;
    if (!simPaired[index])
        return BT_ERROR_NOT_PAIRED;
    simPaired[index] = false;
    return BT_OK;
}
