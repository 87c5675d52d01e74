// VornelCheck: holds one backend DLL to the backend contract of vornel.h.
//   VornelCheck [--timeout SECONDS] BACKEND.DLL
// Loads the backend directly, not through Vornel.dll. Every check runs in a
// child process of its own under a time limit, so that a backend that
// crashes or hangs fails that check and takes nothing else with it. Prints a
// row per check, PASS, FAIL or SKIP with what it found; exit status 0 only
// when nothing failed, 2 for a command line it does not take.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ChildProcess.h"
#include "Checks.h"
#include "Text.h"

namespace {

constexpr DWORD defaultTimeoutSeconds = 20;
const char* const statusNames[] = {"PASS", "FAIL", "SKIP"};

// A backend's crash ends the check's process at once, with the exception's
// code as its exit code: no debugger, no error-report dialog, no detach
// code of a backend in an unknown state.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// In the child: runs one check and prints its verdict as "<status> <detail>".
int RunOne(const std::string& name, const std::wstring& path)
{
    SetUnhandledExceptionFilter(EndOnCrash);
    Backend backend(path);
    if (!backend.module) {
        printf("FAIL the backend does not load (error %08lX)\n", backend.loadError);
        return 0;
    }
    for (const Check& check : AllChecks()) {
        if (check.name == name) {
            const Verdict verdict = check.run(backend);
            printf("%s %s\n", statusNames[int(verdict.status)], verdict.detail.c_str());
            fflush(stdout);
            // Whatever the backend left running ends with the process.
            ExitProcess(0);
        }
    }
    printf("FAIL no check of that name\n");
    return 0;
}

// In the runner: one check in a child process, its outcome read back.
Verdict RunInChild(const Check& check, const std::wstring& path, DWORD timeoutSeconds)
{
    const std::wstring name(check.name.begin(), check.name.end());
    const ChildOutcome child = RunChild(L"\"" + OwnPath() + L"\" --run " + name + L" \"" + path + L"\" " +
                                            std::to_wstring(timeoutSeconds),
                                        L"", timeoutSeconds * 1000);
    if (!child.started)
        return {Status::Fail, "could not start the check's process"};
    if (child.timedOut)
        return {Status::Fail, "did not finish within " + std::to_string(timeoutSeconds) + " s: the backend hangs"};
    for (int status = 0; status < 3; ++status) {
        const std::string prefix = std::string(statusNames[status]) + " ";
        if (child.output.compare(0, prefix.size(), prefix) == 0) {
            std::string detail = child.output.substr(prefix.size());
            detail.erase(detail.find_last_not_of("\r\n") + 1);
            return {Status(status), detail};
        }
    }
    char code[16];
    snprintf(code, sizeof code, "%08lX", child.exitCode);
    return {Status::Fail, std::string("the backend crashed (exit code ") + code + ")"};
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (argc == 5 && std::wstring(argv[1]) == L"--run") {
        WaitForDiscoveriesAtMost(wcstoul(argv[4], nullptr, 10) * 1000 / 2);
        return RunOne(Utf8(argv[2]), argv[3]);
    }

    DWORD timeoutSeconds = defaultTimeoutSeconds;
    int next = 1;
    if (argc == 4 && std::wstring(argv[1]) == L"--timeout") {
        timeoutSeconds = wcstoul(argv[2], nullptr, 10);
        next = 3;
    }
    if (next != argc - 1 || timeoutSeconds == 0) {
        fprintf(stderr, "usage: VornelCheck [--timeout SECONDS] BACKEND.DLL\n");
        return 2;
    }
    const std::wstring path = FullPath(argv[next]);
    printf("VornelCheck: %s\n", Utf8(path).c_str());
    int counts[3] = {};
    for (const Check& check : AllChecks()) {
        const Verdict verdict = RunInChild(check, path, timeoutSeconds);
        ++counts[int(verdict.status)];
        printf("%s  %-36s %s\n", statusNames[int(verdict.status)], check.name.c_str(), verdict.detail.c_str());
        fflush(stdout);
    }
    printf("Checks: %d PASS, %d FAIL, %d SKIP\n", counts[0], counts[1], counts[2]);
    return counts[int(Status::Fail)] ? 1 : 0;
}
