#include "VornelThunk.h"

#include "LogMgr.h"
#include "NarrowText.h"

namespace {

const char* const source = "DllThunk";

// The longest name LoadLibraryW takes, in UTF-16 units; no code page needs
// more than three bytes for one.
constexpr int longestWideName = 32767;
// Room for the narrow form of any such name and its terminator, so that no
// name is logged empty for want of room. Not on the stack, where it would
// burden every host thread that calls BT_Init; only the probe loads modules,
// and probes never overlap.
char narrowName[3 * longestWideName + 1];

void LogModule(LogLevel level, const char* format, const wchar_t* name, DWORD error = 0)
{
    // Tested before converting, so a dropped message costs no conversion.
    if (!theLogMgr.Admits(level))
        return;
    ToNarrow(name, narrowName, sizeof narrowName);
    theLogMgr.LogFormatted(level, source, format, narrowName, static_cast<unsigned>(error));
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
