#pragma once
#include <cstddef>
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

    // 23 characters and a terminator: "YYYY-MM-DD hh:mm:ss.mmm". Uses the
    // sink's cache of the current second, so run it under Lock.
    void MakeTimestamp(char (&buffer)[timestampSize]);

protected:
    // The length of `line`: recorded by Format for its own line, measured
    // for any other.
    size_t LengthOf(const char* line) const;

private:
    friend class LogMgr;  // the only one to count registrations and read minLevel

    // Converts and formats `second` (of the system clock) as local time.
    void StampSecond(uint64_t second);

    int32_t refCount = 0;
    char lineBuffer[lineCapacity];
    bool autoFlush = true;

protected:
    // The manager skips the sink for messages below this level. A derived
    // sink may choose it at construction; nothing changes it afterwards.
    LogLevel minLevel = LogLevel::INFO;

private:
    Locker lock;

    // "YYYY-MM-DD hh:mm:ss" of stampedSecond: the date and time change only
    // with the second, so they are converted once per second, not per line.
    static constexpr int secondTextLength = 19;
    uint64_t stampedSecond = UINT64_MAX;  // none yet
    char stampedText[secondTextLength + 1];
    bool stampedLocal = false;  // false: local time failed, and the stamp is all zeros
    size_t lineLength = 0;  // of the line in lineBuffer
};
