#include "VornelThunk.h"

#include "LogMgr.h"
#include "NarrowText.h"

namespace {

const char* const source = "DllThunk";

void LogModule(LogLevel level, const char* format, const wchar_t* name, DWORD error = 0)
{
    // Tested before converting, so a dropped message costs no conversion.
    if (!theLogMgr.Admits(level))
        return;
    char narrow[2 * MAX_PATH];
    ToNarrow(name, narrow, sizeof narrow);
    theLogMgr.LogFormatted(level, source, format, narrow, static_cast<unsigned>(error));
}

// Through void(*)(), the one function type that casts to any other quietly.
EntryPoint BoundEntry(FARPROC address)
{
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

bool VornelThunk::Load(const wchar_t* name)
{
    Unload();
    LogModule(LogLevel::TRACE, "Loading Dll %s...", name);
    module = LoadLibraryW(name);
    if (!module)
        // The error is taken before logging can overwrite it.
        LogModule(LogLevel::WARN, "Load Dll %s Failed, Error = %08X", name, GetLastError());
    else
        LogModule(LogLevel::INFO, "Load Dll %s Succ", name);

    bool bound = true;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        entryPoints[slot] =
            module ? BoundEntry(GetProcAddress(module, slotNames[slot])) : nullptr;
        if (module && !entryPoints[slot]) {
            const DWORD error = GetLastError();
            if (theLogMgr.Admits(LogLevel::WARN))
                theLogMgr.LogFormatted(LogLevel::WARN, source, "Binding Func %s Failed, Error = %08X",
                                       slotNames[slot], static_cast<unsigned>(error));
            bound = false;
        }
    }
    return bound;
}
