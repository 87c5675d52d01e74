#pragma once
// Runs a program to its end, or to a time limit, and keeps what it printed.
#include <windows.h>

#include <string>

struct ChildOutcome {
    bool started = false;
    bool timedOut = false;  // then it was ended by force
    DWORD exitCode = 0;     // an exception code when it crashed
    std::string output;     // its standard output
};

// `commandLine` as CreateProcessW takes it; run in `directory` ("" for this
// one's). Its standard error goes nowhere: a crash's report is not its output.
ChildOutcome RunChild(const std::wstring& commandLine, const std::wstring& directory, DWORD timeoutMs);
