#pragma once
#include <cstdint>

#include "Locker.h"
#include "LogLevel.h"

// Base of every sink: the registration count, the level filter, the lock and
// the one line buffer that Format fills. Concrete sinks supply Write.
class Logger {
public:
    static constexpr int lineCapacity = 32768;
    static constexpr int timestampSize = 24;

    Logger() = default;
    virtual ~Logger() = default;

    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Returns lineBuffer, valid until the next Format; run it under Lock.
    virtual const char* Format(LogLevel level, const char* source, const char* message);
    virtual bool Accept(const char* source);
    virtual void Write(const char* line) = 0;
    virtual void Flush();
    virtual bool GetAutoFlush();
    virtual void SetAutoFlush(bool flag);
    virtual void Lock();
    virtual void Unlock();

    // 23 characters and a terminator: "YYYY-MM-DD hh:mm:ss.mmm".
    static void MakeTimestamp(char (&buffer)[timestampSize]);

protected:
    // The manager skips the sink for messages below this level. A derived
    // sink may choose it at construction; nothing changes it afterwards.
    LogLevel minLevel = LogLevel::INFO;

private:
    friend class LogMgr;  // the only one to count registrations and read minLevel

    int32_t refCount = 0;
    char lineBuffer[lineCapacity];
    bool autoFlush = true;
    Locker lock;
};
