#include <windows.h>

#include "VornelThunk.h"

namespace {

// Users of the library; changed only by interlocked operations.
volatile LONG initCount = 0;

// Bare names: the platform's ordinary module search order finds them.
const wchar_t* const BackendTable[] = {L"QUENDA.DLL", L"MIRTEL.DLL", L"Sorvik.DLL"};

}  // namespace

extern "C" int __cdecl BT_Init()
{
    if (InterlockedIncrement(&initCount) > 1)
        return 0;
    for (const wchar_t* name : BackendTable) {
        theThunk.Load(name);
        if (!theThunk.module)
            continue;
        // A backend without BT_Init cannot accept, so it counts as refusing.
        const EntryPoint init = theThunk.entryPoints[SLOT_BT_Init];
        if (init && init() == 0)
            return 0;
        theThunk.Unload();
    }
    InterlockedDecrement(&initCount);
    return 1;
}

// Called by the BT_Exit stub before it decides whether to forward.
extern "C" LONG __cdecl vornelCountDown()
{
    return InterlockedDecrement(&initCount);
}
