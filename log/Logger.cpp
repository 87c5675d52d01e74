#include "Logger.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

const char* Logger::Format(LogLevel level, const char* source, const char* message)
{
    char timestamp[timestampSize];
    MakeTimestamp(timestamp);
    const int index = static_cast<int>(level);
    // Keeps the five columns for a level that is none of ours, without
    // reading outside the name table.
    const char* levelName = (index >= 0 && index < levelCount) ? levelNames[index] : "?????";
    // Bounded: a line too long for the buffer is cut, never written past it.
    snprintf(lineBuffer, sizeof lineBuffer, "%s-%5s-%04i-%20s-%s", timestamp, levelName,
             static_cast<int>(GetCurrentThreadId()), source ? source : "", message ? message : "");
    return lineBuffer;
}

bool Logger::Accept(const char*)
{
    return true;
}

void Logger::Flush()
{
}

bool Logger::GetAutoFlush()
{
    return autoFlush;
}

void Logger::SetAutoFlush(bool flag)
{
    autoFlush = flag;
}

void Logger::Lock()
{
    lock.Lock();
}

void Logger::Unlock()
{
    lock.Unlock();
}

void Logger::MakeTimestamp(char (&buffer)[timestampSize])
{
    // The 64-bit clock explicitly: msvcrt's plain time_t is 32 bits here.
    const __time64_t now = _time64(nullptr);
    const struct tm* local = _localtime64(&now);
    // From the tick count, not the clock: the digits do not restart with the second.
    const unsigned milliseconds = GetTickCount() % 1000u;
    const char* format = "%04u-%02u-%02u %02u:%02u:%02u.%03u";
    if (local)
        snprintf(buffer, sizeof buffer, format, local->tm_year + 1900u, local->tm_mon + 1u,
                 unsigned(local->tm_mday), unsigned(local->tm_hour), unsigned(local->tm_min),
                 unsigned(local->tm_sec), milliseconds);
    else
        snprintf(buffer, sizeof buffer, format, 0u, 0u, 0u, 0u, 0u, 0u, 0u);
}
