#include "Logger.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "TextLength.h"

namespace {

constexpr uint64_t fileTimeTicksPerSecond = 10000000;  // FILETIME counts 100 ns
constexpr uint64_t secondsFrom1601To1970 = 11644473600;
constexpr int sourceColumns = 20;

// Appends to a line of at most `capacity` characters, cutting what does not
// fit exactly where a bounded formatter would.
class LineAppender {
public:
    LineAppender(char* line, size_t capacity) : line(line), capacity(capacity) {}

    void Append(const char* text, size_t length)
    {
        const size_t taken = length < Room() ? length : Room();
        memcpy(line + length_, text, taken);
        length_ += taken;
    }
    void AppendText(const char* text) { Append(text, BoundedLength(text, Room())); }
    void AppendChar(char c, size_t count = 1)
    {
        const size_t taken = count < Room() ? count : Room();
        memset(line + length_, c, taken);
        length_ += taken;
    }
    // As "%04i" prints it: at least four characters, the sign among them,
    // zeros between the sign and the digits.
    void AppendThreadId(int id)
    {
        char digits[12];
        int count = 0;
        unsigned magnitude = id < 0 ? 0u - unsigned(id) : unsigned(id);
        do {
            digits[count++] = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        const int zeros = (id < 0 ? 3 : 4) - count;
        if (id < 0)
            AppendChar('-');
        if (zeros > 0)
            AppendChar('0', zeros);
        while (count)
            AppendChar(digits[--count]);
    }
    size_t Length() const { return length_; }

private:
    size_t Room() const { return capacity - length_; }

    char* line;
    size_t capacity;
    size_t length_ = 0;
};

}  // namespace

// The line is "%s-%5s-%04i-%20s-%s" of the timestamp, level name, thread id,
// source and message, built here without a general formatter: that one
// walks a long message character by character.
const char* Logger::Format(LogLevel level, const char* source, const char* message)
{
    char timestamp[timestampSize];
    MakeTimestamp(timestamp);
    const int index = static_cast<int>(level);
    // Keeps the five columns for a level that is none of ours, without
    // reading outside the name table.
    const char* levelName = (index >= 0 && index < levelCount) ? levelNames[index] : "?????";
    source = source ? source : "";

    // Bounded: a line too long for the buffer is cut, never written past it.
    LineAppender line(lineBuffer, lineCapacity - 1);
    line.Append(timestamp, timestampSize - 1);
    line.AppendChar('-');
    line.Append(levelName, levelNameLength);
    line.AppendChar('-');
    line.AppendThreadId(static_cast<int>(GetCurrentThreadId()));
    line.AppendChar('-');
    // Measured once, for both its padding and its copy; a source longer
    // than the whole line is cut with it anyway.
    const size_t sourceLength = BoundedLength(source, lineCapacity);
    if (sourceLength < sourceColumns)
        line.AppendChar(' ', sourceColumns - sourceLength);
    line.Append(source, sourceLength);
    line.AppendChar('-');
    line.AppendText(message ? message : "");
    lineLength = line.Length();
    lineBuffer[lineLength] = '\0';
    return lineBuffer;
}

size_t Logger::LengthOf(const char* line) const
{
    return line == lineBuffer ? lineLength : strlen(line);
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
    // The system clock's second decides whether the cached text still holds;
    // it is the clock the runtime's own time() reads, without the time-zone
    // work that time() and localtime() repeat on every call.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t second =
        (uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) / fileTimeTicksPerSecond;
    if (second != stampedSecond)
        StampSecond(second);
    memcpy(buffer, stampedText, secondTextLength);
    // From the tick count, not the clock: the digits do not restart with the
    // second. A failed conversion zeroes them too.
    unsigned milliseconds = stampedLocal ? GetTickCount() % 1000u : 0u;
    buffer[secondTextLength] = '.';
    for (int digit = 3; digit > 0; --digit, milliseconds /= 10)
        buffer[secondTextLength + digit] = char('0' + milliseconds % 10);
    buffer[timestampSize - 1] = '\0';
}

void Logger::StampSecond(uint64_t second)
{
    // The 64-bit clock explicitly: msvcrt's plain time_t is 32 bits here.
    const __time64_t unixSecond = static_cast<__time64_t>(second - secondsFrom1601To1970);
    const struct tm* local = _localtime64(&unixSecond);
    const char* format = "%04u-%02u-%02u %02u:%02u:%02u";
    if (local)
        snprintf(stampedText, sizeof stampedText, format, local->tm_year + 1900u, local->tm_mon + 1u,
                 unsigned(local->tm_mday), unsigned(local->tm_hour), unsigned(local->tm_min),
                 unsigned(local->tm_sec));
    else
        snprintf(stampedText, sizeof stampedText, format, 0u, 0u, 0u, 0u, 0u, 0u);
    stampedLocal = local != nullptr;
    stampedSecond = second;
}
