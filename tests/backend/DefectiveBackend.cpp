// Backends that break the contract in one known way each, for the contract
// runner's tests: the simulated backend (VornelSim.dll beside this one),
// every export forwarded to it, but for the variant's defect:
//   DEFECT_CRASH_ON_NULL_RADIO  BT_QueryRadio writes through a null record
//   DEFECT_HANG_IN_RADIO        BT_QueryRadio never returns
//   DEFECT_NO_FINAL_CALL        discovery never makes its final call
//   DEFECT_NEEDS_DEPENDENCY     imports a DLL that is not shipped beside it
// A variant lacks an export when the build renames it, as for the stand-ins.
#include <windows.h>

#include <cwchar>

#include "BtSlots.h"
#include "FakeBackend.h"

#ifdef DEFECT_NEEDS_DEPENDENCY
extern "C" __declspec(dllimport) int __cdecl VornelTestDependency();
#endif

namespace {

using Forwarded = int(__cdecl*)(FakeArg, FakeArg, FakeArg, FakeArg, FakeArg, FakeArg);
HMODULE self;

Forwarded Simulated(int slot)
{
    static HMODULE simulated = [] {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(self, path, MAX_PATH);
        wcscpy(wcsrchr(path, L'\\') + 1, L"VornelSim.dll");
        return LoadLibraryW(path);
    }();
    return reinterpret_cast<Forwarded>(
        reinterpret_cast<void (*)()>(GetProcAddress(simulated, slotNames[slot])));
}

#ifdef DEFECT_NO_FINAL_CALL
using DeviceCallback = void(__cdecl*)(const void* device, int status, void* context);
DeviceCallback hostCallback;

// Passes each device on, and swallows the final call.
void __cdecl WithoutFinalCall(const void* device, int status, void* context)
{
    if (device)
        hostCallback(device, status, context);
}
#endif

}  // namespace

// Six argument words cover every function of the contract on x86, where an
// address takes two; reading more than were passed reads the caller's frame.
#define VORNEL_FUNCTION(name)                                                                          \
    extern "C" __declspec(dllexport) int __cdecl name(FakeArg a, FakeArg b, FakeArg c, FakeArg d,       \
                                                      FakeArg e, FakeArg f)                             \
    {                                                                                                   \
        return Defect(SLOT_##name, a, b, c, d, e, f);                                                   \
    }

namespace {

int Defect(int slot, FakeArg a, FakeArg b, FakeArg c, FakeArg d, FakeArg e, FakeArg f)
{
#ifdef DEFECT_CRASH_ON_NULL_RADIO
    if (slot == SLOT_BT_QueryRadio && !a)
        *reinterpret_cast<volatile char*>(a) = 0;
#endif
#ifdef DEFECT_HANG_IN_RADIO
    if (slot == SLOT_BT_QueryRadio && a)
        Sleep(INFINITE);
#endif
#ifdef DEFECT_NO_FINAL_CALL
    if (slot == SLOT_BT_ListDevicesAsync && a) {
        hostCallback = reinterpret_cast<DeviceCallback>(a);
        a = reinterpret_cast<FakeArg>(&WithoutFinalCall);
    }
#endif
#ifdef DEFECT_NEEDS_DEPENDENCY
    if (slot == SLOT_BT_Init)
        VornelTestDependency();
#endif
    return Simulated(slot)(a, b, c, d, e, f);
}

}  // namespace

#include "BtFunctions.h"
#undef VORNEL_FUNCTION

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}
