#include "LogPath.h"

#include <windows.h>

#include <cwchar>

#include "NarrowText.h"

LogPathOutcome MakeLogPath(const wchar_t* hostPath, size_t hostLength,
                           char (&narrow)[FileLogger::pathCapacity])
{
    const size_t suffixLength = wcslen(logPathSuffix);
    if (hostLength + suffixLength > MAX_PATH)
        return LogPathOutcome::PathTooLong;
    wchar_t wide[MAX_PATH + 1];
    wmemcpy(wide, hostPath, hostLength);
    wcscpy(wide + hostLength, logPathSuffix);
    return ToNarrow(wide, narrow, sizeof narrow) ? LogPathOutcome::Made : LogPathOutcome::NarrowTooLong;
}
