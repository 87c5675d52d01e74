#pragma once
// End-to-end scenarios. Each runs as its own host process, a copy of this
// test program in a directory of its own that holds only the scenario's
// DLLs: Vornel.dll and stand-in backends under the three backend names.
#include <windows.h>

#include <string>
#include <vector>

#include "BtSlots.h"
#include "FakeBackend.h"
#include "Host.h"
#include "TestFiles.h"

struct Scenario {
    std::string name;
    // Stand-in variant (a file in the build's bin directory) for QUENDA.DLL,
    // MIRTEL.DLL and Sorvik.DLL; null leaves that backend absent.
    const wchar_t* backends[3];
    void (*body)();  // runs in the host process
    // Runs in this process once the host has ended, with its directory.
    void (*afterwards)(const std::wstring& hostDirectory) = nullptr;
    std::wstring hostDirectory = L"";      // under the scenarios root; default: the name
    std::wstring librarySubdirectory = L"";  // where Vornel.dll goes, below the host
    const wchar_t* library = L"Vornel.dll";  // which build of it
    std::wstring environment = L"";          // "NAME=value" for the host
};

// Lays the scenario out and runs it in its own host process; or, inside that
// process, runs its body.
void RunScenario(const Scenario& scenario);

// The scenarios root, "<build>\scenarios".
std::wstring ScenariosRoot();

// ---- For scenario bodies ----

// The backend loaded under `name`, as seen through its accessors.
FakeCall LastCall(const wchar_t* backendName);
bool Loaded(const wchar_t* moduleName);

// The backends' journal in the host directory, a line per event.
std::vector<std::string> Journal(const std::wstring& hostDirectory = L".");
std::wstring HostDirectory();
std::wstring LogPath();  // the host executable's path and "-Vornel.log"
std::vector<std::string> LogLines(const std::wstring& logPath = LogPath());
// What follows the timestamp, level and thread of a log line.
std::string LogTail(const std::string& line);
// The names of the files in a directory, sorted.
std::vector<std::string> FilesIn(const std::wstring& directory);
