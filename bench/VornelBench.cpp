// The benchmark host: times the library's call path and its logging, each
// beside the cheapest way to do the same work, in one run. Runs from its own
// directory, which holds Vornel.dll; the trivial backend lies in backend\,
// out of the search path until the forwarding figures need it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FileLogger.h"
#include "LogMgr.h"
#include "Report.h"
#include "vornel.h"

namespace {

constexpr int repetitions = 21;
constexpr double nanoseconds = 1e9;
constexpr double microseconds = 1e6;

std::string ProgramDirectory()
{
    char path[MAX_PATH];
    const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return program.substr(0, program.rfind('\\'));
}

using SendData = int(__cdecl*)(int, const void*, int, int*);

// The one call site that both the forwarded and the direct call go through.
__attribute__((noinline)) void CallRepeatedly(SendData target, int times)
{
    static const char byte = 0;
    int sent;
    for (int i = 0; i < times; ++i)
        target(i, &byte, 1, &sent);
}

void LoadTheThreeBackendsBare(int times)
{
    for (int i = 0; i < times; ++i)
        for (const wchar_t* name : {L"QUENDA.DLL", L"MIRTEL.DLL", L"Sorvik.DLL"})
            if (HMODULE module = LoadLibraryW(name))
                FreeLibrary(module);
}

Comparison FailedProbe()
{
    const Measure measure = {"BT_Init, none of the three backends present",
                             "three bare LoadLibraryW of the same names", "us/probe", microseconds, 1.05,
                             0, 20};
    return Compare(
        measure, repetitions,
        [](int times) {
            for (int i = 0; i < times; ++i)
                BT_Init();
        },
        LoadTheThreeBackendsBare);
}

Comparison ForwardedCall(SendData direct)
{
    const Measure measure = {"BT_SPP_SendData through Vornel.dll, trivial backend",
                             "the backend's own export, same call site", "ns/call", nanoseconds, 0, 0.5,
                             2000000};
    return Compare(
        measure, repetitions, [](int times) { CallRepeatedly(&BT_SPP_SendData, times); },
        [direct](int times) { CallRepeatedly(direct, times); });
}

// The bytes the file sink writes for a message, for the plain stream to
// write alike: the sink's own line, then CR LF. Its path is refused, so this
// sink formats and never opens anything.
std::string SinkLine(const char* source, const std::string& message)
{
    static FileLogger formatter(nullptr);
    return formatter.Format(LogLevel::INFO, source, message.c_str()) + std::string("\r\n");
}

// The logging figures, through a manager of the bench's own with one file
// sink, as the library sets up its own; the baseline writes to a plain stream.
// False when either file could not be written, which would void the figures.
bool TimeLogging(const std::string& directory, std::vector<Comparison>& figures)
{
    const std::string sinkPath = directory + "\\bench-sink.log";
    const std::string plainPath = directory + "\\bench-plain.log";
    DeleteFileA(sinkPath.c_str());
    DeleteFileA(plainPath.c_str());
    {
        LogMgr manager;
        manager.AddLogger(new FileLogger(sinkPath.c_str()));
        FILE* plain = fopen(plainPath.c_str(), "ab");
        if (!plain)
            return false;
        const auto writePlain = [plain](const std::string& line) {
            return [plain, line](int times) {
                for (int i = 0; i < times; ++i) {
                    fwrite(line.data(), 1, line.size(), plain);
                    fflush(plain);
                }
            };
        };

        const char* message = "Load Dll QUENDA.DLL Succ";
        figures.push_back(Compare(
            {"one INFO line through the manager into the file sink",
             "fwrite + fflush of the same bytes", "us/line", microseconds, 1.15, 0, 2000},
            repetitions,
            [&](int times) {
                for (int i = 0; i < times; ++i)
                    manager.Log(LogLevel::INFO, "DllThunk", message);
            },
            writePlain(SinkLine("DllThunk", message))));

        Locker lock;
        figures.push_back(Compare(
            {"one TRACE message, skipped by the sink's minimum level",
             "an uncontended lock and unlock", "ns/message", nanoseconds, 0, 10, 1000000},
            repetitions,
            [&](int times) {
                for (int i = 0; i < times; ++i)
                    manager.Log(LogLevel::TRACE, "DllThunk", "Loading Dll QUENDA.DLL...");
            },
            [&](int times) {
                for (int i = 0; i < times; ++i) {
                    lock.Lock();
                    lock.Unlock();
                }
            }));

        // The longest message that passes whole, and one more, which is cut.
        for (int length : {LogMgr::messageLimit, LogMgr::messageLimit + 1}) {
            const std::string text(length, 'm');
            const std::string written = length > LogMgr::messageLimit
                                            ? text.substr(0, LogMgr::messageLimit) + "..."
                                            : text;
            figures.push_back(Compare(
                {"LogFormatted of " + std::to_string(length) + " characters into the file sink",
                 "fwrite + fflush of the line it writes", "us/message", microseconds, 1.5, 0, 200},
                repetitions,
                [&](int times) {
                    for (int i = 0; i < times; ++i)
                        manager.LogFormatted(LogLevel::INFO, "bench", "%s", text.c_str());
                },
                writePlain(SinkLine("bench", written))));
        }
        fclose(plain);
    }
    WIN32_FILE_ATTRIBUTE_DATA sinkFile;
    const bool sinkWrote = GetFileAttributesExA(sinkPath.c_str(), GetFileExInfoStandard, &sinkFile) &&
                           (sinkFile.nFileSizeLow || sinkFile.nFileSizeHigh);
    DeleteFileA(sinkPath.c_str());
    DeleteFileA(plainPath.c_str());
    return sinkWrote;
}

}  // namespace

int main()
{
    const std::string directory = ProgramDirectory();
    std::vector<Comparison> figures;

    if (BT_Init() != BT_ERROR_NO_BACKEND) {
        fprintf(stderr, "A backend is on the search path; the failed probe cannot be timed.\n");
        return 1;
    }
    const Comparison probe = FailedProbe();

    SetDllDirectoryA((directory + "\\backend").c_str());
    if (BT_Init() != BT_OK) {
        fprintf(stderr, "The trivial backend in %s\\backend did not start.\n", directory.c_str());
        return 1;
    }
    const auto direct = reinterpret_cast<SendData>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"QUENDA.DLL"), "BT_SPP_SendData")));
    figures.push_back(ForwardedCall(direct));
    BT_Exit();

    if (!TimeLogging(directory, figures)) {
        fprintf(stderr, "Could not write the logging figures' files in %s.\n", directory.c_str());
        return 1;
    }
    figures.push_back(probe);

    const Machine machine = ThisMachine();
    PrintTable(machine, repetitions, figures);
    const std::string results = directory + "\\results-" + machine.edition + ".json";
    if (!WriteJson(results, machine, repetitions, figures)) {
        fprintf(stderr, "Could not write %s\n", results.c_str());
        return 1;
    }
    printf("\nWritten to %s\n", results.c_str());
    return 0;
}
