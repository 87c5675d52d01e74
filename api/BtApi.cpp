#include <windows.h>

#include "VornelThunk.h"

// Users of the library; changed only by interlocked operations, here and in
// the BT_Exit stub, which counts down inline so that it stays a leaf.
extern "C" {
volatile LONG vornelInitCount = 0;
}

namespace {

// Bare names: the platform's ordinary module search order finds them.
const wchar_t* const BackendTable[] = {L"QUENDA.DLL", L"MIRTEL.DLL", L"Sorvik.DLL"};

}  // namespace

extern "C" int __cdecl BT_Init()
{
    if (InterlockedIncrement(&vornelInitCount) > 1)
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
    InterlockedDecrement(&vornelInitCount);
    return 1;
}
