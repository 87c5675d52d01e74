#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "FileLogger.h"
#include "LogMgr.h"
#include "TestFiles.h"

namespace {

const std::regex lineShape(
    R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}-INFO -\d{4,}-              source-(.*))");

// A manager of its own with one file sink, as the library sets it up.
struct FileLog {
    explicit FileLog(const std::string& path) { mgr.AddLogger(new FileLogger(path.c_str())); }
    void Line(const std::string& message) { mgr.Log(LogLevel::INFO, "source", message.c_str()); }
    LogMgr mgr;
};

// The messages of a file of whole lines.
std::vector<std::string> Messages(const std::string& content)
{
    std::vector<std::string> messages;
    for (const std::string& line : SplitLines(content)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, lineShape)) << line;
        messages.push_back(match[1]);
    }
    return messages;
}

class FileLoggerTest : public testing::Test {
protected:
    void SetUp() override
    {
        FileLogger::linesWritten = 0;
        dir = FreshDirectory(testing::UnitTest::GetInstance()->current_test_info()->name());
        path = dir + "\\host.exe-Vornel.log";
    }
    std::string dir;
    std::string path;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(FileLoggerTest, OpensNothingUntilTheFirstLine)
{
    FileLog log(path);
    log.mgr.Log(LogLevel::DEBUG, "source", "below the sink's level");
    EXPECT_FALSE(Exists(path));
    log.Line("first");
    EXPECT_EQ(Messages(ReadWhole(path)), Lines{"first"});
}

TEST_F(FileLoggerTest, AllocatesNothingPerLineOrMessage)
{
    FileLog log(path);
    log.Line("the first line opens the file");
    const std::string longMessage(LogMgr::messageLimit + 10, 'm');
    const long before = allocationCount::Made();
    for (int i = 0; i < 100; ++i) {
        log.Line("a line");
        log.mgr.LogFormatted(LogLevel::INFO, "source", "%s %d", longMessage.c_str(), i);
        log.mgr.LogFormatted(LogLevel::TRACE, "source", "skipped by the sink %d", i);
    }
    EXPECT_EQ(allocationCount::Made(), before);
    EXPECT_EQ(FileLogger::linesWritten, 201u);
}

TEST_F(FileLoggerTest, AppendsToWhatEarlierRunsWrote)
{
    const std::string earlier = "earlier run\r\n";
    WriteWhole(path, earlier);
    {
        FileLog log(path);
        log.Line("one");
        log.Line("two");
    }
    const std::string content = ReadWhole(path);
    ASSERT_EQ(content.compare(0, earlier.size(), earlier), 0);
    EXPECT_EQ(Messages(content.substr(earlier.size())), (Lines{"one", "two"}));
}

TEST_F(FileLoggerTest, EachLineReachesTheFileAsItIsLogged)
{
    FileLog log(path);
    log.Line("one");
    EXPECT_EQ(Messages(ReadWhole(path)), Lines{"one"});
    log.Line("two");
    EXPECT_EQ(Messages(ReadWhole(path)), (Lines{"one", "two"}));
}

TEST_F(FileLoggerTest, RestartsTheFileWhenTheCountPassesTheLimit)
{
    constexpr uint32_t limit = 0x100000;
    FileLog log(path);
    log.Line("kept");
    FileLogger::linesWritten = limit - 1;
    log.Line("last of the first file");
    EXPECT_EQ(FileLogger::linesWritten, limit);
    log.Line("first of the restarted file");
    EXPECT_EQ(FileLogger::linesWritten, 0u);
    log.Line("second");
    EXPECT_EQ(Messages(ReadWhole(path)), (Lines{"first of the restarted file", "second"}));

    // A restarted file takes the limit's lines after its first one.
    FileLogger::linesWritten = limit - 1;
    log.Line("still kept");
    log.Line("restart again");
    EXPECT_EQ(Messages(ReadWhole(path)), Lines{"restart again"});
}

TEST_F(FileLoggerTest, SinksShareOneCountAndEachRestartsItsOwnFile)
{
    const std::string otherPath = dir + "\\other.log";
    const std::string earlier = "earlier run\r\n";
    WriteWhole(path, earlier);
    WriteWhole(otherPath, earlier);
    LogMgr mgr;
    mgr.AddLogger(new FileLogger(path.c_str()));
    mgr.AddLogger(new FileLogger(otherPath.c_str()));
    FileLogger::linesWritten = 0x100000 - 1;
    // Newest sink first: other.log brings the count to the limit, the host
    // log passes it and restarts, for both.
    mgr.Log(LogLevel::INFO, "source", "a");
    EXPECT_EQ(FileLogger::linesWritten, 0u);
    EXPECT_EQ(Messages(ReadWhole(path)), Lines{"a"});
    EXPECT_EQ(Messages(ReadWhole(otherPath).substr(earlier.size())), Lines{"a"});
    mgr.Log(LogLevel::INFO, "source", "b");
    EXPECT_EQ(FileLogger::linesWritten, 2u);
}

TEST_F(FileLoggerTest, StaysFailedAfterTheFileBecomesWritable)
{
    const std::string missingDir = dir + "\\later";
    const std::string laterPath = missingDir + "\\host.log";
    FileLog log(laterPath);
    log.Line("dropped");
    CreateDirectoryA(missingDir.c_str(), nullptr);
    log.Line("dropped too");
    EXPECT_FALSE(Exists(laterPath));
    EXPECT_EQ(FileLogger::linesWritten, 0u);
}

TEST_F(FileLoggerTest, DropsLinesForAPathThatIsADirectory)
{
    FileLog log(dir);
    log.Line("dropped");
    EXPECT_EQ(FileLogger::linesWritten, 0u);
}

TEST_F(FileLoggerTest, RefusesAPathThatDoesNotFitInsteadOfCuttingIt)
{
    const std::string tooLong = dir + "\\" + std::string(FileLogger::pathCapacity, 'x') + ".log";
    const std::string cut = tooLong.substr(0, FileLogger::pathCapacity - 1);
    for (const char* refused : {tooLong.c_str(), static_cast<const char*>(nullptr)}) {
        LogMgr mgr;
        mgr.AddLogger(new FileLogger(refused));
        mgr.Log(LogLevel::INFO, "source", "dropped");
    }
    EXPECT_FALSE(Exists(cut));
    EXPECT_EQ(FileLogger::linesWritten, 0u);
}

TEST_F(FileLoggerTest, KeepsWritingWhenTheDiskIsFull)
{
    FileLog log("Z:\\dev\\full");
    for (int i = 0; i < 3; ++i)
        log.Line("lost");
    // Still open: the lines were counted, not dropped as by a failed sink.
    EXPECT_EQ(FileLogger::linesWritten, 3u);
}

TEST_F(FileLoggerTest, HoldsTheFileSharedForOthersAndClosesItWhenDeleted)
{
    {
        FileLog log(path);
        log.Line("one");
        EXPECT_EQ(Messages(ReadWhole(path)), Lines{"one"});
        EXPECT_FALSE(DeleteFileA(path.c_str()));
        EXPECT_TRUE(HeldOpen(path));
    }
    EXPECT_FALSE(HeldOpen(path));
}

TEST_F(FileLoggerTest, KeepsLinesWholeAcrossThreads)
{
    SKIP_IF_THREADS_UNRELIABLE();
    constexpr int threads = 4;
    constexpr int perThread = 500;
    {
        struct Worker {
            FileLog* log;
            int id;
        };
        FileLog log(path);
        Worker workers[threads];
        HANDLE handles[threads];
        for (int t = 0; t < threads; ++t) {
            workers[t] = {&log, t};
            handles[t] = CreateThread(
                nullptr, 0,
                [](void* context) -> DWORD WINAPI {
                    const Worker& worker = *static_cast<Worker*>(context);
                    for (int i = 0; i < perThread; ++i)
                        worker.log->Line("t" + std::to_string(worker.id) + "-" + std::to_string(i));
                    return 0;
                },
                &workers[t], 0, nullptr);
        }
        WaitForMultipleObjects(threads, handles, TRUE, INFINITE);
        for (HANDLE handle : handles)
            CloseHandle(handle);
    }
    const Lines messages = Messages(ReadWhole(path));
    EXPECT_EQ(messages.size(), size_t(threads * perThread));
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()).size(), messages.size());
}
