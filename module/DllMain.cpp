#include <windows.h>

#include <new>

#include "FileLogger.h"
#include "LogMgr.h"
#include "LogPath.h"

namespace {

constexpr DWORD pathChars = MAX_PATH + 1;  // MAX_PATH characters and the terminator

// Registers the file sink beside the host executable. A path that cannot be
// built whole, or memory that runs out, leaves the library without a log
// rather than logging to a cut or different path.
void RegisterFileSink()
{
    wchar_t host[pathChars];
    const DWORD length = GetModuleFileNameW(nullptr, host, pathChars);
    // 0 is a failure; a full buffer means the path may have been cut.
    if (length == 0 || length >= pathChars)
        return;
    char narrow[FileLogger::pathCapacity];
    if (MakeLogPath(host, length, narrow) != LogPathOutcome::Made)
        return;

    FileLogger* sink = new (std::nothrow) FileLogger(narrow);
    if (!sink)
        return;
    try {
        theLogMgr.AddLogger(sink);
    } catch (const std::bad_alloc&) {
        delete sink;
    }
}

}  // namespace

// Detach does nothing here: the destructors of theThunk and then theLogMgr,
// which run after it, release the backend and close the log.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        RegisterFileSink();
    return TRUE;
}
