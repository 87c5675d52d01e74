#pragma once
#include "Locker.h"
#include "LogLevel.h"

class Logger;

// One registration of a sink; the list runs from the newest to the oldest.
struct LoggerNode {
    Logger* logger;
    LoggerNode* next;
};

// The one road by which the library logs. Owns every sink registered with it.
class LogMgr {
public:
    // Longest message LogFormatted passes on before it cuts and adds "...".
    static constexpr int messageLimit = 16384;

    LogMgr() = default;
    virtual ~LogMgr();

    LogMgr(const LogMgr&) = delete;
    LogMgr& operator=(const LogMgr&) = delete;

    // Takes ownership; the sink must come from `new`. Null is ignored.
    // Not locked: sinks are registered only while no logging can run.
    void AddLogger(Logger* sink);
    void Log(LogLevel level, const char* source, const char* message);
    void LogFormatted(LogLevel level, const char* source, const char* format, ...)
        __attribute__((format(ms_printf, 4, 5)));

    // Callers that must prepare arguments test this first, so a dropped
    // message costs them nothing.
    bool Admits(LogLevel level) const { return level >= threshold; }

private:
    LogLevel threshold = LogLevel::TRACE;
    LoggerNode* head = nullptr;
    Locker lock;
};

extern LogMgr theLogMgr;
