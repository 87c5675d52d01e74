// Device discovery, blocking and on a worker thread.
#include "SimDiscovery.h"

#include "SimWorld.h"

namespace {

// How long the simulated inquiry takes to find each device.
constexpr DWORD inquiryStepMs = 150;

struct Discovery {
    bool running;  // from its start until its final callback has returned
    DWORD workerId;
    BT_DEVICE_CALLBACK callback;
    void* context;
    HANDLE cancelled;  // manual-reset; set to stop the worker early
    HANDLE finished;   // manual-reset; set once running turns false
    HMODULE module;    // the worker's own reference on this module
};
Discovery discovery;

// One more reference on this module, or null.
HMODULE ReferenceThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&ReferenceThisModule), &module);
    return module;
}

DWORD WINAPI DiscoveryWorker(void*)
{
    int status = BT_OK;
    for (int i = 0; i < simDeviceCount; ++i) {
        if (WaitForSingleObject(discovery.cancelled, inquiryStepMs) == WAIT_OBJECT_0) {
            status = BT_ERROR_CANCELLED;
            break;
        }
        BT_DEVICE_INFO device;
        {
            SimHeld held;
            FillDevice(i, &device);
        }
        discovery.callback(&device, BT_OK, discovery.context);
    }
    discovery.callback(nullptr, status, discovery.context);
    HMODULE module;
    {
        SimHeld held;
        module = discovery.module;
        discovery.running = false;
        SetEvent(discovery.finished);
    }
    // The worker holds its own reference on this module, so that a host
    // that unloads everything right after the final callback cannot pull
    // the code out from under these last instructions.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool CreateDiscoveryEvents()
{
    discovery.cancelled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    discovery.finished = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return discovery.cancelled && discovery.finished;
}

void CloseDiscoveryEvents()
{
    CloseHandle(discovery.cancelled);
    CloseHandle(discovery.finished);
}

int CancelDiscovery()
{
    {
        SimHeld held;
        if (!discovery.running)
            return BT_ERROR_NOT_FOUND;
        // Waiting here for the final callback would wait for ourselves.
        if (GetCurrentThreadId() == discovery.workerId)
            return BT_ERROR_BUSY;
        SetEvent(discovery.cancelled);
    }
    WaitForSingleObject(discovery.finished, INFINITE);
    return BT_OK;
}

int __cdecl BT_ListDevices(BT_DEVICE_INFO* devices, int capacity, int* count)
{
    SimHeld held;
    if (int error = CheckCall())
        return error;
    return FillArray(devices, capacity, count, simDeviceCount, FillDevice);
}

int __cdecl BT_ListDevicesAsync(BT_DEVICE_CALLBACK callback, void* context)
{
    SimHeld held;
    if (int error = CheckCall(callback != nullptr))
        return error;
    if (discovery.running)
        return BT_ERROR_BUSY;
    discovery.module = ReferenceThisModule();
    if (!discovery.module)
        return BT_ERROR_BUSY;
    discovery.callback = callback;
    discovery.context = context;
    ResetEvent(discovery.cancelled);
    ResetEvent(discovery.finished);
    HANDLE worker = CreateThread(nullptr, 0, DiscoveryWorker, nullptr, 0, &discovery.workerId);
    if (!worker) {
        SetEvent(discovery.finished);
        FreeLibrary(discovery.module);
        return BT_ERROR_BUSY;
    }
    CloseHandle(worker);
    discovery.running = true;
    return BT_OK;
}

int __cdecl BT_CancelListDevicesAsync()
{
    {
        SimHeld held;
        if (int error = CheckCall())
            return error;
    }
    return CancelDiscovery();
}
