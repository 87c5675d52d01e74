// Device discovery, blocking and on a worker thread.
#include "SimDiscovery.h"

#include "SimWorld.h"

namespace {

// How long the simulated inquiry takes to find each device.
constexpr DWORD inquiryStepMs = 150;

// One discovery at a time; it ends, and another may start, just before its
// final callback. Cancelling waits for its worker thread to exit, which is
// after that callback has returned.
struct Discovery {
    bool running;
    DWORD workerId;
    HANDLE worker;     // the latest worker thread, or null
    HANDLE cancelled;  // manual-reset; set to stop the worker early
    BT_DEVICE_CALLBACK callback;
    void* context;
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
    BT_DEVICE_CALLBACK callback;
    void* context;
    HMODULE module;
    {
        SimHeld held;
        callback = discovery.callback;
        context = discovery.context;
        module = discovery.module;
    }
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
        callback(&device, BT_OK, context);
    }
    {
        SimHeld held;
        discovery.running = false;
    }
    callback(nullptr, status, context);
    // The worker holds its own reference on this module, so that a host
    // that unloads everything right after the final callback cannot pull
    // the code out from under these last instructions.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool OpenDiscovery()
{
    discovery.cancelled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return discovery.cancelled != nullptr;
}

void CloseDiscovery()
{
    CloseHandle(discovery.cancelled);
    if (discovery.worker)
        CloseHandle(discovery.worker);
}

int CancelDiscovery()
{
    HANDLE worker;
    {
        SimHeld held;
        if (!discovery.running)
            return BT_ERROR_NOT_FOUND;
        // Waiting here for the worker would wait for ourselves.
        if (GetCurrentThreadId() == discovery.workerId)
            return BT_ERROR_BUSY;
        // A copy of our own: a new discovery may replace the stored handle.
        HANDLE process = GetCurrentProcess();
        if (!DuplicateHandle(process, discovery.worker, process, &worker, SYNCHRONIZE, FALSE, 0))
            return BT_ERROR_BUSY;
        SetEvent(discovery.cancelled);
    }
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
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
    HANDLE worker = CreateThread(nullptr, 0, DiscoveryWorker, nullptr, 0, &discovery.workerId);
    if (!worker) {
        FreeLibrary(discovery.module);
        return BT_ERROR_BUSY;
    }
    if (discovery.worker)
        CloseHandle(discovery.worker);
    discovery.worker = worker;
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
