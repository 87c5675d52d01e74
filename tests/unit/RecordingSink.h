#pragma once
#include <string>
#include <vector>

#include "Logger.h"

// A sink that records, in order, every call the manager makes on it.
class RecordingSink : public Logger {
public:
    struct Journal {
        std::vector<std::string> calls;     // "Accept", "Lock", "Format", ...
        std::vector<std::string> messages;  // what Format received, "<null>" for null
        std::vector<std::string> sources;   // likewise for the source
        bool deleted = false;
    };

    RecordingSink(Journal& journal, std::string tag, LogLevel level = LogLevel::INFO,
                  bool accept = true, bool autoFlush = true)
        : journal(journal), tag(std::move(tag)), accept(accept)
    {
        minLevel = level;
        SetAutoFlush(autoFlush);
    }
    ~RecordingSink() override
    {
        journal.deleted = true;
        journal.calls.push_back(tag + ":deleted");
    }

    const char* Format(LogLevel level, const char* source, const char* message) override
    {
        Note("Format");
        journal.sources.push_back(source ? source : "<null>");
        journal.messages.push_back(message ? message : "<null>");
        return Logger::Format(level, source, message);
    }
    bool Accept(const char*) override { return Note("Accept"), accept; }
    void Write(const char*) override { Note("Write"); }
    void Flush() override { Note("Flush"); }
    void Lock() override { Note("Lock"), Logger::Lock(); }
    void Unlock() override { Note("Unlock"), Logger::Unlock(); }

private:
    void Note(const char* call) { journal.calls.push_back(tag + ":" + call); }

    Journal& journal;
    std::string tag;
    bool accept;
};
