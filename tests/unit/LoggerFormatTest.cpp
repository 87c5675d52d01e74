#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "FakePlatformControl.h"
#include "LineSink.h"

namespace {

constexpr size_t timestampLength = 23;
const std::regex timestampShape(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3})");

std::string FormatLine(LogLevel level, const char* source, const char* message, DWORD threadId = 0)
{
    fakePlatform::Scope restore;
    fakePlatform::threadId = threadId;
    LineSink sink;
    return sink.Format(level, source, message);
}

}  // namespace

struct LineCase {
    const char* name;
    int level;
    const char* source;
    const char* message;
    DWORD threadId;
    const char* afterTimestamp;
};

class LoggerFormat : public testing::TestWithParam<LineCase> {};

TEST_P(LoggerFormat, BuildsTheLineAfterTheTimestamp)
{
    const LineCase& c = GetParam();
    const std::string line = FormatLine(static_cast<LogLevel>(c.level), c.source, c.message, c.threadId);
    ASSERT_GT(line.size(), timestampLength);
    EXPECT_TRUE(std::regex_match(line.substr(0, timestampLength), timestampShape)) << line;
    EXPECT_EQ(line.substr(timestampLength), c.afterTimestamp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoggerFormat,
    testing::Values(
        LineCase{"BindingSucceeded", 2, "DllThunk", "Load Dll QUENDA.DLL Succ", 412,
                 "-INFO -0412-            DllThunk-Load Dll QUENDA.DLL Succ"},
        LineCase{"NullSource", 0, nullptr, "m", 7, "-TRACE-0007-                    -m"},
        LineCase{"LongSourceWhole", 3, "abcdefghijklmnopqrstuvwxy", "m", 123456,
                 "-WARN -123456-abcdefghijklmnopqrstuvwxy-m"},
        LineCase{"NullMessage", 1, "s", nullptr, 1, "-DEBUG-0001-                   s-"},
        LineCase{"EmptyMessage", 4, "s", "", 1, "-ERROR-0001-                   s-"},
        LineCase{"Fatal", 5, "s", "m", 99, "-FATAL-0099-                   s-m"},
        LineCase{"None", 6, "s", "m", 99, "-NONE -0099-                   s-m"},
        LineCase{"LevelAboveRange", 7, "s", "m", 99, "-?\?\?\?\?-0099-                   s-m"},
        LineCase{"NegativeLevel", -1, "s", "m", 99, "-?\?\?\?\?-0099-                   s-m"}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(LoggerFormatTimestamp, IsAllZeroWhenLocalTimeFails)
{
    fakePlatform::Scope restore;
    fakePlatform::localTimeFails = true;
    LineSink sink;
    EXPECT_EQ(std::string(sink.Format(LogLevel::INFO, "s", "m")).substr(0, timestampLength + 1),
              "0000-00-00 00:00:00.000-");
}

TEST(LoggerFormatTimestamp, TakesMillisecondsFromTheTickCount)
{
    char timestamp[Logger::timestampSize];
    Logger::MakeTimestamp(timestamp);
    const unsigned after = GetTickCount() % 1000u;
    const unsigned printed = std::stoul(std::string(timestamp + 20));
    // The tick may move on between the two reads, but not by much.
    EXPECT_LE((after + 1000u - printed) % 1000u, 50u) << timestamp;
}

TEST(LoggerFormatBounds, CutsALineTooLongForTheBuffer)
{
    const std::string message(Logger::lineCapacity + 100, 'm');
    const std::string line = FormatLine(LogLevel::INFO, "s", message.c_str(), 1);
    EXPECT_EQ(line.size(), size_t(Logger::lineCapacity - 1));
    EXPECT_EQ(line.substr(timestampLength, 34), "-INFO -0001-                   s-m");
    EXPECT_EQ(line.back(), 'm');
}
