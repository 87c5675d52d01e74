#include "ChildProcess.h"

#include <thread>

ChildOutcome RunChild(const std::wstring& commandLine, const std::wstring& directory, DWORD timeoutMs)
{
    ChildOutcome outcome;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd;
    HANDLE writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return outcome;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nowhere = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = nowhere;
    PROCESS_INFORMATION process = {};
    std::wstring command = commandLine;
    outcome.started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                     directory.empty() ? nullptr : directory.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    CloseHandle(nowhere);
    if (!outcome.started) {
        CloseHandle(readEnd);
        return outcome;
    }
    // Read while it runs, so that a full pipe never holds it up.
    std::thread reader([&] {
        char chunk[4096];
        DWORD got;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got)
            outcome.output.append(chunk, got);
    });
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        outcome.timedOut = true;
        TerminateProcess(process.hProcess, ERROR_TIMEOUT);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The child held the pipe's only write end: its end ends the read.
    reader.join();
    CloseHandle(readEnd);
    return outcome;
}
