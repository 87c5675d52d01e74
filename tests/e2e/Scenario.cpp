#include "Scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "TestFiles.h"

namespace {

const wchar_t* const backendNames[3] = {L"QUENDA.DLL", L"MIRTEL.DLL", L"Sorvik.DLL"};
const wchar_t hostMarker[] = L"VORNEL_SCENARIO_HOST";
const wchar_t hostProgram[] = L"vornel_e2e.exe";
constexpr DWORD hostTimeoutMs = 120000;

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = dir + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    RemoveDirectoryW(dir.c_str());
}

void Copy(const std::wstring& from, const std::wstring& to)
{
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << std::string(to.begin(), to.end());
}

void RunHost(const Scenario& scenario, const std::wstring& dir)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring command = L"\"" + dir + L"\\" + hostProgram + L"\" --gtest_filter=" +
                           Widen(test->test_suite_name()) + L"." + Widen(test->name());

    // The host inherits these; this process drops them once it has started.
    const std::wstring& extra = scenario.environment;
    const size_t equals = extra.find(L'=');
    const std::wstring extraName = extra.substr(0, equals);
    SetEnvironmentVariableW(hostMarker, L"1");
    if (!extra.empty())
        SetEnvironmentVariableW(extraName.c_str(), extra.substr(equals + 1).c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        dir.c_str(), &startup, &process);
    const DWORD startError = GetLastError();
    SetEnvironmentVariableW(hostMarker, nullptr);
    if (!extra.empty())
        SetEnvironmentVariableW(extraName.c_str(), nullptr);
    ASSERT_TRUE(started) << "cannot start the host, error " << startError;

    if (WaitForSingleObject(process.hProcess, hostTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        ADD_FAILURE() << "the host did not end in time";
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the host reported failures (see its output above)";
}

}  // namespace

std::wstring ScenariosRoot()
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW((ProgramDirectory() + L"\\..\\scenarios").c_str(), MAX_PATH, full, nullptr);
    return full;
}

void RunScenario(const Scenario& scenario)
{
    if (GetEnvironmentVariableW(hostMarker, nullptr, 0)) {
        scenario.body();
        return;
    }
    const std::wstring bin = ProgramDirectory();
    const std::wstring root = ScenariosRoot();
    const std::wstring dir =
        root + L"\\" + (scenario.hostDirectory.empty() ? Widen(scenario.name) : scenario.hostDirectory);
    CreateDirectoryW(root.c_str(), nullptr);
    RemoveTree(dir);
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));

    std::wstring libraryDir = dir;
    if (!scenario.librarySubdirectory.empty()) {
        libraryDir += L"\\" + scenario.librarySubdirectory;
        CreateDirectoryW(libraryDir.c_str(), nullptr);
    }
    Copy(bin + L"\\" + hostProgram, dir + L"\\" + hostProgram);
    Copy(bin + L"\\" + scenario.library, libraryDir + L"\\Vornel.dll");
    for (int i = 0; i < 3; ++i)
        if (scenario.backends[i])
            Copy(bin + L"\\" + scenario.backends[i], dir + L"\\" + backendNames[i]);
    if (testing::Test::HasFatalFailure())
        return;

    RunHost(scenario, dir);
    if (scenario.afterwards)
        scenario.afterwards(dir);
}

FakeCall LastCall(const wchar_t* backendName)
{
    FakeCall call = {-1, nullptr, nullptr, {}};
    if (HMODULE backend = GetModuleHandleW(backendName))
        ExportOf<FakeLastCallFn>(backend, "Fake_LastCall")(&call);
    return call;
}

bool Loaded(const wchar_t* moduleName)
{
    return GetModuleHandleW(moduleName) != nullptr;
}

std::vector<std::string> Journal(const std::wstring& hostDirectory)
{
    return SplitLines(ReadWhole(hostDirectory + L"\\" + fakeJournalName));
}

std::wstring HostDirectory()
{
    return ProgramDirectory();
}

std::wstring LogPath()
{
    wchar_t path[MAX_PATH + 1];
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    return std::wstring(path) + L"-Vornel.log";
}

std::vector<std::string> LogLines(const std::wstring& logPath)
{
    return SplitLines(ReadWhole(logPath));
}

std::string LogTail(const std::string& line)
{
    static const std::regex shape(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}-(TRACE|DEBUG|INFO |WARN |ERROR|FATAL|NONE )-\d{4,}-(.*))");
    std::smatch match;
    if (!std::regex_match(line, match, shape))
        return "malformed: " + line;
    return match[1].str() + "-" + match[2].str();
}

std::vector<std::string> FilesIn(const std::wstring& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((directory + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const std::wstring name = entry.cFileName;
            names.emplace_back(name.begin(), name.end());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}
