#pragma once
#include <cstdint>
#include <cstdio>

#include "Logger.h"

// Writes each line and "\r\n" to one file, opened at the first line in
// append mode and started afresh whenever the process-wide line count
// passes maxLines.
class FileLogger : public Logger {
public:
    static constexpr int pathCapacity = 256;

    // Lines written by every FileLogger of the process since the last restart.
    // Guarded by the log manager's lock, which serialises all sink calls.
    static uint32_t linesWritten;

    // A null path, or one that does not fit pathCapacity, is refused whole:
    // the sink then fails at its first line instead of writing elsewhere.
    explicit FileLogger(const char* path);
    ~FileLogger() override;

    bool Open(const char* path, bool append);
    void Close();
    void Write(const char* line) override;
    void Flush() override;

private:
    enum State : int32_t { Closed = 0, Opened = 1, Failed = -1 };

    // The stored path, or null when the constructor refused it.
    const char* StoredPath() const { return path[0] ? path : nullptr; }

    char path[pathCapacity] = {};
    FILE* file = nullptr;
    bool append = true;
    State state = Closed;
    uint32_t maxLines = 0x100000;
};
