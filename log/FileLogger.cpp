#include "FileLogger.h"

#include <cstring>

uint32_t FileLogger::linesWritten = 0;

FileLogger::FileLogger(const char* path)
{
    if (path && strlen(path) < sizeof this->path)
        strcpy(this->path, path);
}

FileLogger::~FileLogger()
{
    Close();
}

bool FileLogger::Open(const char* path, bool append)
{
    if (state == Opened)
        Close();
    if (path)
        // "ab" keeps what earlier runs wrote; "wb" empties the file for a restart.
        file = fopen(path, append ? "ab" : "wb");
    state = file ? Opened : Failed;
    return file != nullptr;
}

void FileLogger::Close()
{
    if (file) {
        fclose(file);
        file = nullptr;
    }
    state = Closed;
}

void FileLogger::Write(const char* line)
{
    if (state == Closed)
        Open(StoredPath(), append);
    if (state != Opened)
        return;
    if (++linesWritten > maxLines) {
        Close();
        const bool reopened = Open(StoredPath(), false);
        linesWritten = 0;
        if (!reopened)
            return;
    }
    fwrite(line, 1, LengthOf(line), file);
    fwrite("\r\n", 1, 2, file);
}

void FileLogger::Flush()
{
    if (file)
        fflush(file);
}
