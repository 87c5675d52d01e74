// The backend's start and end, and its module entry point.
#include "SimDiscovery.h"
#include "SimLinks.h"
#include "SimWorld.h"

int __cdecl BT_Init()
{
    SimHeld held;
    simStarted = true;
    return BT_OK;
}

// Calls may still arrive after this; they answer BT_ERROR_NOT_READY.
int __cdecl BT_Exit()
{
    CancelDiscovery();
    SimHeld held;
    CloseAllLinks();
    simStarted = false;
    return BT_OK;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        return OpenDiscovery();
    // At process exit the handles go with the process.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        CloseDiscovery();
    return TRUE;
}
