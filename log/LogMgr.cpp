#include "LogMgr.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Logger.h"

LogMgr::~LogMgr()
{
    while (head) {
        LoggerNode* node = head;
        head = node->next;
        if (--node->logger->refCount == 0)
            delete node->logger;
        delete node;
    }
}

void LogMgr::AddLogger(Logger* sink)
{
    if (!sink)
        return;
    // Allocate first: if that throws, the sink is left unregistered and untouched.
    LoggerNode* node = new LoggerNode{sink, head};
    ++sink->refCount;
    head = node;
}

void LogMgr::Log(LogLevel level, const char* source, const char* message)
{
    if (!Admits(level) || !message)
        return;
    lock.Lock();
    for (LoggerNode* node = head; node; node = node->next) {
        Logger* sink = node->logger;
        if (level < sink->minLevel || !sink->Accept(source))
            continue;
        // The line lives in the sink's one buffer: build, write and flush it
        // under the sink's lock.
        sink->Lock();
        sink->Write(sink->Format(level, source, message));
        if (sink->GetAutoFlush())
            sink->Flush();
        sink->Unlock();
    }
    lock.Unlock();
}

void LogMgr::LogFormatted(LogLevel level, const char* source, const char* format, ...)
{
    if (!Admits(level))
        return;
    // Room behind the limit for "..." and its terminator.
    char buffer[messageLimit + 4];
    va_list args;
    va_start(args, format);
    // msvcrt's formatter: the length when the text fits (terminated only if
    // shorter than the bound), a negative value and no terminator when it
    // does not.
    const int length = _vsnprintf(buffer, messageLimit, format, args);
    va_end(args);
    if (length > 0)
        buffer[messageLimit] = '\0';
    else
        // Also taken for an empty text, where it lands behind the
        // formatter's own terminator and leaves the message empty.
        memcpy(buffer + messageLimit, "...", 4);
    Log(level, source, buffer);
}
