#include <gtest/gtest.h>

#include <algorithm>

#include "ReleaseWatch.h"
#include "Scenario.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int acceptId = 1;
constexpr int acceptOnceId = 3;
constexpr int noSendFileId = 4;

const std::string thunkSource = "            DllThunk-";
std::string Info(const std::string& message) { return "INFO -" + thunkSource + message; }
std::string Warn(const std::string& message) { return "WARN -" + thunkSource + message; }

const Lines allMissing = {
    Warn("Load Dll QUENDA.DLL Failed, Error = 0000007E"),
    Warn("Load Dll MIRTEL.DLL Failed, Error = 0000007E"),
    Warn("Load Dll Sorvik.DLL Failed, Error = 0000007E"),
};

Lines LogTails(const std::wstring& logPath = LogPath())
{
    Lines tails;
    for (const std::string& line : LogLines(logPath))
        tails.push_back(LogTail(line));
    return tails;
}

bool IsForwarder(int slot)
{
    return slot != SLOT_BT_Init && slot != SLOT_BT_Exit;
}

// Every forwarder answers `expected(slot)`.
template <typename Expected>
void ExpectForwarders(Host& host, Expected expected)
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (IsForwarder(slot)) {
            EXPECT_EQ(host.Call(slot, slot), expected(slot)) << slotNames[slot];
        }
    }
}

void ExpectForwardedTo(Host& host, const wchar_t* backend, int fakeId)
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (!IsForwarder(slot))
            continue;
        EXPECT_EQ(host.Call(slot, slot, -slot), FakeResult(fakeId, slot)) << slotNames[slot];
        const FakeCall call = LastCall(backend);
        EXPECT_EQ(call.slot, slot);
        EXPECT_EQ(call.args[0], slot);
        EXPECT_EQ(call.args[1], -slot);
    }
}

// ---- Backend selection and forwarding ----

void ForwardersAnswerThreeBeforeInit()
{
    Host host;
    ExpectForwarders(host, [](int) { return 3; });
    EXPECT_TRUE(Journal().empty());
}

void NoBackendPresent()
{
    Host host;
    EXPECT_EQ(host.Init(), 1);
    ExpectForwarders(host, [](int) { return 3; });
    EXPECT_EQ(LogTails(), allMissing);
    // The count is back at 0: the next BT_Init probes all three again.
    EXPECT_EQ(host.Init(), 1);
    EXPECT_EQ(LogTails().size(), 6u);
    EXPECT_EQ(host.Exit(), -1);
    host.Unload();
    EXPECT_FALSE(HeldOpen(LogPath()));
}

void RefusedThenAccepted()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(Journal(), (Lines{"load QUENDA.DLL", "BT_Init QUENDA.DLL", "release QUENDA.DLL log=open",
                                "load MIRTEL.DLL", "BT_Init MIRTEL.DLL"}));
    EXPECT_FALSE(Loaded(L"QUENDA.DLL"));
    ExpectForwardedTo(host, L"MIRTEL.DLL", acceptId);
    EXPECT_EQ(LogTails(), (Lines{Info("Load Dll QUENDA.DLL Succ"), Info("Load Dll MIRTEL.DLL Succ")}));
}

void NestedInitAndExit()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(Journal(), (Lines{"load QUENDA.DLL", "BT_Init QUENDA.DLL"}));
    EXPECT_EQ(host.Exit(), 1);
    EXPECT_EQ(Journal().size(), 2u);
    EXPECT_EQ(host.Exit(), FakeResult(acceptId, SLOT_BT_Exit));
    EXPECT_EQ(Journal().back(), "BT_Exit QUENDA.DLL");
    // Still loaded and bound after the last BT_Exit.
    EXPECT_TRUE(Loaded(L"QUENDA.DLL"));
    ExpectForwardedTo(host, L"QUENDA.DLL", acceptId);
}

void ExitBeforeInit()
{
    Host host;
    EXPECT_EQ(host.Exit(), -1);
    EXPECT_EQ(host.Exit(), -2);
    EXPECT_TRUE(Journal().empty());
    EXPECT_EQ(host.Call(SLOT_BT_Pair), 3);
}

void ReprobeReleasesHeldBackend()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(host.Exit(), FakeResult(acceptOnceId, SLOT_BT_Exit));
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(Journal(),
              (Lines{"load QUENDA.DLL", "BT_Init QUENDA.DLL", "BT_Exit QUENDA.DLL",
                     "release QUENDA.DLL log=open", "load QUENDA.DLL", "BT_Init QUENDA.DLL",
                     "release QUENDA.DLL log=open", "load MIRTEL.DLL", "BT_Init MIRTEL.DLL"}));
    ExpectForwardedTo(host, L"MIRTEL.DLL", acceptId);
}

// Argument words that use every bit of a register on x64 (and of a stack
// word on x86), so that a stub that narrowed or reused one would show.
constexpr FakeArg allBitsOne = -1;
constexpr FakeArg highestPositive = INTPTR_MAX;
constexpr FakeArg lowestNegative = INTPTR_MIN;

// One call site for both the direct and the forwarded call, so that both
// enter the backend with the same stack pointer and return address: never
// cloned per target, and a true call rather than a tail jump of its own.
__attribute__((noipa)) int CallFrom(Host::Function function, int slot)
{
    volatile int result = function(slot, allBitsOne, highestPositive, lowestNegative);
    return result;
}

void BackendSeesTheCallersFrame()
{
    Host host;
    ASSERT_EQ(host.Init(), 0);
    HMODULE backend = GetModuleHandleW(L"QUENDA.DLL");
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (slot == SLOT_BT_Init)
            continue;
        const auto direct = ExportOf<Host::Function>(backend, slotNames[slot]);
        const int directResult = CallFrom(direct, slot);
        const FakeCall directCall = LastCall(L"QUENDA.DLL");
        // BT_Exit comes last, so this forwarded call brings the count to 0.
        const int forwardedResult = CallFrom(host.Export(slot), slot);
        const FakeCall forwardedCall = LastCall(L"QUENDA.DLL");
        EXPECT_EQ(forwardedResult, directResult) << slotNames[slot];
        EXPECT_EQ(forwardedCall.slot, slot);
        EXPECT_EQ(forwardedCall.frame, directCall.frame) << slotNames[slot];
        EXPECT_EQ(forwardedCall.returnAddress, directCall.returnAddress) << slotNames[slot];
        EXPECT_TRUE(std::equal(std::begin(forwardedCall.args), std::end(forwardedCall.args),
                               std::begin(directCall.args)))
            << slotNames[slot];
        EXPECT_EQ(forwardedCall.args[1], allBitsOne);
        EXPECT_EQ(forwardedCall.args[2], highestPositive);
        EXPECT_EQ(forwardedCall.args[3], lowestNegative);
    }
}

void MissingExportAnswersThree()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    ExpectForwarders(host, [](int slot) {
        return slot == SLOT_BT_OPP_SendFile ? 3 : FakeResult(noSendFileId, slot);
    });
    EXPECT_EQ(LogTails(), (Lines{Info("Load Dll QUENDA.DLL Succ"),
                                 Warn("Binding Func BT_OPP_SendFile Failed, Error = 0000007F")}));
}

void MissingExitAnswersThree()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(host.Exit(), 3);
}

void MissingInitCountsAsRefusal()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(Journal(), (Lines{"load QUENDA.DLL", "release QUENDA.DLL log=open", "load MIRTEL.DLL",
                                "BT_Init MIRTEL.DLL"}));
    ExpectForwardedTo(host, L"MIRTEL.DLL", acceptId);
    EXPECT_EQ(LogTails(), (Lines{Info("Load Dll QUENDA.DLL Succ"),
                                 Warn("Binding Func BT_Init Failed, Error = 0000007F"),
                                 Info("Load Dll MIRTEL.DLL Succ")}));
}

// ---- Load and unload of the library ----

// The library's own calls, seen through WatchReleaseAndClose: it released
// the backend, then closed its log, each once.
void ExpectReleasedThenClosed(const Lines& journal)
{
    const auto release = std::find(journal.begin(), journal.end(), "FreeLibrary QUENDA.DLL");
    const auto close = std::find(journal.begin(), journal.end(), "fclose");
    ASSERT_NE(release, journal.end()) << "the backend was not released";
    ASSERT_NE(close, journal.end()) << "the log was not closed";
    EXPECT_LT(release, close) << "the log was closed before the backend was released";
    EXPECT_EQ(std::count(journal.begin(), journal.end(), *release), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), *close), 1);
}

void LogBesideTheHostWhereverTheLibraryIs()
{
    Host host(HostDirectory() + L"\\lib\\Vornel.dll");
    EXPECT_EQ(host.Init(), 1);
    EXPECT_EQ(LogTails(), allMissing);
    EXPECT_EQ(FilesIn(HostDirectory() + L"\\lib"), Lines{"Vornel.dll"});
}

void NoLogWithoutInit()
{
    {
        Host host;
    }
    EXPECT_FALSE(Exists(LogPath()));
}

void UnloadWithoutExit()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    WatchReleaseAndClose(host.Module());
    EXPECT_TRUE(HeldOpen(LogPath()));
    host.Unload();
    // Released without its BT_Exit, before the log closed. When the backend
    // itself sees its release is the loader's choice.
    const Lines journal = Journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "BT_Exit QUENDA.DLL"), 0);
    ExpectReleasedThenClosed(journal);
    EXPECT_FALSE(Loaded(L"QUENDA.DLL"));
    EXPECT_FALSE(HeldOpen(LogPath()));
    EXPECT_EQ(LogTails(), Lines{Info("Load Dll QUENDA.DLL Succ")});
}

void ExitKeepsTheBackendUntilUnload()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(host.Exit(), FakeResult(acceptId, SLOT_BT_Exit));
    EXPECT_TRUE(Loaded(L"QUENDA.DLL"));
    WatchReleaseAndClose(host.Module());
    host.Unload();
    EXPECT_FALSE(Loaded(L"QUENDA.DLL"));
    ExpectReleasedThenClosed(Journal());
}

void LogAppendsToEarlierRuns()
{
    WriteWhole(LogPath(), "earlier run\r\n");
    for (int run = 1; run <= 2; ++run) {
        Host host;
        EXPECT_EQ(host.Init(), 1);
    }
    const Lines lines = LogLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "earlier run");
    EXPECT_EQ(LogTail(lines[4]), allMissing[0]);
}

void EndWithTheLibraryLoaded()
{
    // Never unloaded: the process ends with the library and backend loaded.
    Host* host = new Host;
    EXPECT_EQ(host->Init(), 0);
    WatchReleaseAndClose(host->Module());
}

// The loader's own detach at the process's end would release the backend
// and leave no handle open even if the library's destructors never ran; the
// library's own calls show that they did, and in which order.
void AfterEndingLoaded(const std::wstring& dir)
{
    const Lines journal = Journal(dir);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "BT_Exit QUENDA.DLL"), 0);
    ExpectReleasedThenClosed(journal);
    const std::wstring log = dir + L"\\vornel_e2e.exe-Vornel.log";
    EXPECT_EQ(LogTails(log), Lines{Info("Load Dll QUENDA.DLL Succ")});
}

DWORD WINAPI CallPair(void* host)
{
    return static_cast<Host*>(host)->Call(SLOT_BT_Pair);
}

void HostThreadsChangeNothing()
{
    SKIP_IF_THREADS_UNRELIABLE();
    Host host;
    EXPECT_EQ(host.Init(), 0);
    const Lines logBefore = LogLines();
    const Lines journalBefore = Journal();
    HANDLE threads[4];
    for (HANDLE& thread : threads)
        thread = CreateThread(nullptr, 0, CallPair, &host, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) {
        DWORD result = 0;
        GetExitCodeThread(thread, &result);
        EXPECT_EQ(int(result), FakeResult(acceptId, SLOT_BT_Pair));
        CloseHandle(thread);
    }
    EXPECT_EQ(LogLines(), logBefore);
    EXPECT_EQ(Journal(), journalBefore);
}

// ---- Hosts whose log cannot be written ----

void WorksAndLogs()
{
    Host host;
    EXPECT_EQ(host.Init(), 0);
    EXPECT_EQ(LogTails(), Lines{Info("Load Dll QUENDA.DLL Succ")});
}

// Works in full, and no log file appears anywhere beside the host.
void WorksWithoutALog()
{
    {
        Host host;
        EXPECT_EQ(host.Init(), 0);
        ExpectForwardedTo(host, L"QUENDA.DLL", acceptId);
        EXPECT_EQ(host.Exit(), FakeResult(acceptId, SLOT_BT_Exit));
    }
    EXPECT_EQ(FilesIn(HostDirectory()), (Lines{"QUENDA.DLL", "Vornel.dll", "journal.txt", "vornel_e2e.exe"}));
}

void LogPathIsADirectory()
{
    ASSERT_TRUE(CreateDirectoryW(LogPath().c_str(), nullptr));
    WorksWithoutALog();
}

// A host directory name that makes the host program's path `length` characters.
std::wstring HostDirectoryFor(size_t length)
{
    const size_t fixed = ScenariosRoot().size() + 1 + std::wstring(L"\\vornel_e2e.exe").size();
    return std::wstring(length - fixed, L'p');
}

std::vector<Scenario> Scenarios()
{
    std::vector<Scenario> table = {
        {"ForwardersAnswerThreeBeforeInit", {L"FakeAccept.dll"}, ForwardersAnswerThreeBeforeInit},
        {"NoBackendPresent", {}, NoBackendPresent},
        {"RefusedThenAccepted", {L"FakeRefuse.dll", L"FakeAccept.dll"}, RefusedThenAccepted},
        {"NestedInitAndExit", {L"FakeAccept.dll"}, NestedInitAndExit},
        {"ExitBeforeInit", {L"FakeAccept.dll"}, ExitBeforeInit},
        {"ReprobeReleasesHeldBackend", {L"FakeAcceptOnce.dll", L"FakeAccept.dll"}, ReprobeReleasesHeldBackend},
        {"BackendSeesTheCallersFrame", {L"FakeAccept.dll"}, BackendSeesTheCallersFrame},
        {"MissingExportAnswersThree", {L"FakeNoSendFile.dll"}, MissingExportAnswersThree},
        {"MissingExitAnswersThree", {L"FakeNoExit.dll"}, MissingExitAnswersThree},
        {"MissingInitCountsAsRefusal", {L"FakeNoInit.dll", L"FakeAccept.dll"}, MissingInitCountsAsRefusal},
        {"LogBesideTheHostWhereverTheLibraryIs", {}, LogBesideTheHostWhereverTheLibraryIs, nullptr, L"",
         L"lib"},
        {"NoLogWithoutInit", {L"FakeAccept.dll"}, NoLogWithoutInit},
        {"UnloadWithoutExit", {L"FakeAccept.dll"}, UnloadWithoutExit},
        {"ExitKeepsTheBackendUntilUnload", {L"FakeAccept.dll"}, ExitKeepsTheBackendUntilUnload},
        {"LogAppendsToEarlierRuns", {}, LogAppendsToEarlierRuns},
        {"EndWithTheLibraryLoaded", {L"FakeAccept.dll"}, EndWithTheLibraryLoaded, AfterEndingLoaded},
        {"HostThreadsChangeNothing", {L"FakeAccept.dll"}, HostThreadsChangeNothing},
        {"LogPathIsADirectory", {L"FakeAccept.dll"}, LogPathIsADirectory},
        // The log path is the host's path and 11 characters: 255 fit the
        // sink's narrow field, 256 do not, and 261 pass the platform's limit.
        {"LogPathAtNarrowLimit", {L"FakeAccept.dll"}, WorksAndLogs, nullptr, HostDirectoryFor(244)},
        {"LogPathOverNarrowLimit", {L"FakeAccept.dll"}, WorksWithoutALog, nullptr, HostDirectoryFor(245)},
        {"LogPathOverPathLimit", {L"FakeAccept.dll"}, WorksWithoutALog, nullptr, HostDirectoryFor(250)},
        {"HostPathOutsideTheCodePage", {L"FakeAccept.dll"}, WorksWithoutALog, nullptr,
         L"NotInCodePage-\u03A9\u8DEF"},
    };
    // Allocation 1 is the file sink, 2 its registration.
    for (int allocation : {1, 2}) {
        Scenario outOfMemory{"OutOfMemoryAtAllocation" + std::to_string(allocation),
                             {L"FakeAccept.dll"},
                             WorksWithoutALog};
        outOfMemory.library = L"VornelNoMemory.dll";
        outOfMemory.environment = L"VORNEL_TEST_FAIL_ALLOCATION=" + std::to_wstring(allocation);
        table.push_back(outOfMemory);
    }
    return table;
}

class E2E : public testing::TestWithParam<Scenario> {};

TEST_P(E2E, Scenario)
{
    RunScenario(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, E2E, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
