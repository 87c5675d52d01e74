#pragma once
#include <cstddef>

#include "FileLogger.h"

// The log file beside a host executable: its full path immediately followed
// by "-Vornel.log", narrow in the calling thread's ANSI code page.
enum class LogPathOutcome {
    Made,
    PathTooLong,    // the wide log path is over MAX_PATH characters
    NarrowTooLong,  // its narrow form does not fit the file sink's path field
};

// `hostPath` is `hostLength` characters. Nothing is made beyond the limits:
// the library then writes no log rather than one at a cut or other path.
LogPathOutcome MakeLogPath(const wchar_t* hostPath, size_t hostLength,
                           char (&narrow)[FileLogger::pathCapacity]);

inline constexpr wchar_t logPathSuffix[] = L"-Vornel.log";
