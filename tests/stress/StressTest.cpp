// Host threads at full load: eight forward through all sixteen forwarders of
// Vornel.dll into a stand-in backend while four log through a manager into
// one file sink. Every result must be right, every line whole and counted,
// and the whole must end within a deadline instead of hanging the suite.
#include <windows.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "BtSlots.h"
#include "FakeBackend.h"
#include "FileLogger.h"
#include "Host.h"
#include "LogMgr.h"
#include "TestFiles.h"

namespace {

constexpr int fakeId = 1;  // the stand-in beside this test is FakeAccept
constexpr int forwardingThreads = 8;
constexpr int roundsPerThread = 20000;  // each round calls all sixteen forwarders once
constexpr int loggingThreads = 4;
constexpr int linesPerThread = 5000;
constexpr DWORD deadlineMs = 60000;

struct Shared {
    Host* vornel;
    LogMgr* manager;
    HANDLE go;  // manual-reset: every thread starts at once
    volatile LONG wrongResults;
};

struct Worker {
    Shared* shared;
    int id;
};

bool IsForwarder(int slot)
{
    return slot != SLOT_BT_Init && slot != SLOT_BT_Exit;
}

DWORD WINAPI Forward(void* context)
{
    const Worker& worker = *static_cast<Worker*>(context);
    Shared& shared = *worker.shared;
    WaitForSingleObject(shared.go, INFINITE);
    for (int round = 0; round < roundsPerThread; ++round)
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            if (IsForwarder(slot) &&
                shared.vornel->Call(slot, worker.id, round, slot) != FakeResult(fakeId, slot))
                InterlockedIncrement(&shared.wrongResults);
    return 0;
}

DWORD WINAPI LogLines(void* context)
{
    const Worker& worker = *static_cast<Worker*>(context);
    WaitForSingleObject(worker.shared->go, INFINITE);
    for (int line = 0; line < linesPerThread; ++line)
        worker.shared->manager->LogFormatted(LogLevel::INFO, "stress", "thread %d line %d", worker.id,
                                             line);
    return 0;
}

TEST(Stress, ForwardingAndLoggingThreadsTogether)
{
    SKIP_IF_THREADS_UNRELIABLE();
    Host vornel;
    ASSERT_EQ(vornel.Init(), 0);
    HMODULE backend = GetModuleHandleW(L"QUENDA.DLL");
    ASSERT_NE(backend, nullptr);
    const auto callCount = ExportOf<FakeCallCountFn>(backend, "Fake_CallCount");

    const std::string path = FreshDirectory("Stress") + "\\host.exe-Vornel.log";
    FileLogger::linesWritten = 0;
    LogMgr manager;
    manager.AddLogger(new FileLogger(path.c_str()));
    Shared shared = {&vornel, &manager, CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};

    std::vector<Worker> workers;
    for (int id = 0; id < forwardingThreads + loggingThreads; ++id)
        workers.push_back({&shared, id});
    std::vector<HANDLE> threads;
    for (Worker& worker : workers)
        threads.push_back(CreateThread(nullptr, 0, worker.id < forwardingThreads ? Forward : LogLines,
                                       &worker, 0, nullptr));
    SetEvent(shared.go);
    const DWORD waited = WaitForMultipleObjects(threads.size(), threads.data(), TRUE, deadlineMs);
    // A thread still running here would touch this frame after it is gone.
    if (waited != WAIT_OBJECT_0) {
        fprintf(stderr, "threads still running after %lu ms: deadlock or stall\n", deadlineMs);
        ExitProcess(1);
    }
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(shared.go);

    EXPECT_EQ(shared.wrongResults, 0);
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (IsForwarder(slot)) {
            EXPECT_EQ(callCount(slot), forwardingThreads * roundsPerThread) << slotNames[slot];
        }
    }

    constexpr int lines = loggingThreads * linesPerThread;
    EXPECT_EQ(FileLogger::linesWritten, uint32_t(lines));
    // Each thread's lines, whole and in its own order, none lost or doubled.
    const std::regex shape(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}-INFO -\d{4,}-              stress-thread (\d+) line (\d+))");
    std::vector<int> nextLine(forwardingThreads + loggingThreads, 0);
    int whole = 0;
    for (const std::string& line : SplitLines(ReadWhole(path))) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, shape)) << line;
        const int id = std::stoi(match[1]);
        ASSERT_GE(id, forwardingThreads);
        ASSERT_LT(id, forwardingThreads + loggingThreads);
        ASSERT_EQ(std::stoi(match[2]), nextLine[id]++) << "thread " << id;
        ++whole;
    }
    EXPECT_EQ(whole, lines);
}

}  // namespace
