#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>
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
    LineSink sink;
    sink.MakeTimestamp(timestamp);
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

// ---- Byte for byte what the general formatter built ----

namespace {

constexpr uint64_t fileTimePerSecond = 10000000;
constexpr uint64_t secondsFrom1601To1970 = 11644473600;

// The timestamp as the runtime's clock conversion and formatter build it,
// for a moment in Unix seconds and a tick count.
std::string ReferenceTimestamp(__time64_t second, DWORD tick, bool localTimeFails)
{
    const struct tm* local = localTimeFails ? nullptr : _localtime64(&second);
    char timestamp[Logger::timestampSize];
    const char* format = "%04u-%02u-%02u %02u:%02u:%02u.%03u";
    if (local)
        snprintf(timestamp, sizeof timestamp, format, local->tm_year + 1900u, local->tm_mon + 1u,
                 unsigned(local->tm_mday), unsigned(local->tm_hour), unsigned(local->tm_min),
                 unsigned(local->tm_sec), unsigned(tick % 1000u));
    else
        snprintf(timestamp, sizeof timestamp, format, 0u, 0u, 0u, 0u, 0u, 0u, 0u);
    return timestamp;
}

// The whole line as one call of the general formatter builds it, at the fake
// platform's moment: the reference the sink must match byte for byte.
std::string ReferenceLine(int level, const char* source, const char* message, DWORD threadId)
{
    const __time64_t second = __time64_t(fakePlatform::fileTime / fileTimePerSecond - secondsFrom1601To1970);
    const std::string timestamp =
        ReferenceTimestamp(second, fakePlatform::tickCount, fakePlatform::localTimeFails);
    const char* levelName = level >= 0 && level < levelCount ? levelNames[level] : "?????";
    static char line[Logger::lineCapacity];
    snprintf(line, sizeof line, "%s-%5s-%04i-%20s-%s", timestamp.c_str(), levelName, int(threadId),
             source ? source : "", message ? message : "");
    return line;
}

// A text of `length` characters that lives as long as the test program.
const char* Text(size_t length, char first = 'a')
{
    static std::deque<std::string> texts;
    std::string& text = texts.emplace_back(length, ' ');
    for (size_t i = 0; i < length; ++i)
        text[i] = char(first + i % 26);
    return text.c_str();
}

struct ReferenceCase {
    const char* name;
    int level;
    const char* source;
    const char* message;
    DWORD threadId;
};

// 2026-12-11 08:30:15 UTC.
constexpr uint64_t aMoment = (1796977815ull + secondsFrom1601To1970) * fileTimePerSecond;

}  // namespace

class LoggerFormatReference : public testing::TestWithParam<ReferenceCase> {};

TEST_P(LoggerFormatReference, BuildsTheSameBytesAsTheGeneralFormatter)
{
    const ReferenceCase& c = GetParam();
    fakePlatform::Scope restore;
    fakePlatform::clockSet = true;
    fakePlatform::fileTime = aMoment + 4567890;
    fakePlatform::tickCount = 86400457;
    fakePlatform::threadId = c.threadId;
    LineSink sink;
    const std::string line = sink.Format(static_cast<LogLevel>(c.level), c.source, c.message);
    const std::string expected = ReferenceLine(c.level, c.source, c.message, c.threadId);
    ASSERT_EQ(line.size(), expected.size());
    EXPECT_TRUE(line == expected) << "first difference at "
                                  << std::mismatch(line.begin(), line.end(), expected.begin()).first - line.begin();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoggerFormatReference,
    testing::Values(ReferenceCase{"Trace", 0, "DllThunk", "m", 412}, ReferenceCase{"Debug", 1, "DllThunk", "m", 412},
                    ReferenceCase{"Info", 2, "DllThunk", "m", 412}, ReferenceCase{"Warn", 3, "DllThunk", "m", 412},
                    ReferenceCase{"Error", 4, "DllThunk", "m", 412}, ReferenceCase{"Fatal", 5, "DllThunk", "m", 412},
                    ReferenceCase{"None", 6, "DllThunk", "m", 412},
                    ReferenceCase{"LevelAboveRange", 7, "DllThunk", "m", 412},
                    ReferenceCase{"NegativeLevel", -1, "DllThunk", "m", 412},
                    ReferenceCase{"NullSource", 2, nullptr, "m", 412},
                    ReferenceCase{"EmptySource", 2, "", "m", 412},
                    ReferenceCase{"Source19", 2, Text(19), "m", 412},
                    ReferenceCase{"Source20", 2, Text(20), "m", 412},
                    ReferenceCase{"Source21", 2, Text(21), "m", 412},
                    ReferenceCase{"Source25", 2, Text(25), "m", 412},
                    ReferenceCase{"Thread7", 2, "s", "m", 7},
                    ReferenceCase{"Thread123456", 2, "s", "m", 123456},
                    ReferenceCase{"ThreadNegative", 2, "s", "m", DWORD(-42)},
                    ReferenceCase{"ThreadMostNegative", 2, "s", "m", 0x80000000u},
                    ReferenceCase{"ThreadMostPositive", 2, "s", "m", 0x7FFFFFFFu},
                    ReferenceCase{"NullMessage", 2, "s", nullptr, 412},
                    ReferenceCase{"EmptyMessage", 2, "s", "", 412},
                    ReferenceCase{"Message16384", 2, "DllThunk", Text(16384), 412},
                    ReferenceCase{"Message16387", 2, "DllThunk", Text(16387), 412},
                    ReferenceCase{"MessageOverTheLine", 2, "DllThunk", Text(40000), 412},
                    ReferenceCase{"MessageFillingTheLineExactly", 2, "DllThunk",
                                  Text(Logger::lineCapacity - 1 - 56), 412},
                    ReferenceCase{"SourceOverTheLine", 2, Text(40000, 'A'), "m", 412},
                    ReferenceCase{"CutWithinTheSource", 2, Text(32760, 'A'), Text(100), 123456}),
    [](const testing::TestParamInfo<ReferenceCase>& info) { return info.param.name; });

TEST(LoggerFormatClock, MatchesTheReferenceAcrossSecondBoundaries)
{
    fakePlatform::Scope restore;
    fakePlatform::clockSet = true;
    fakePlatform::threadId = 99;
    const uint64_t second = fileTimePerSecond;
    const struct {
        uint64_t fileTime;
        DWORD tick;
        bool localTimeFails;  // for the whole second, as a time out of range is
    } moments[] = {
        {aMoment + second - 1, 1999, false},        // the last instant of a second
        {aMoment + second, 2000, false},            // the next one
        {aMoment + second + second / 2, 2500, false},
        {aMoment + 3 * second, 2999, false},        // a second skipped
        {aMoment - 3600 * second, 3000, false},     // the clock set back an hour
        {aMoment - 3600 * second + 1, 3001, false},
        {aMoment + 5 * second, 3002, true},         // a second local time cannot convert
        {aMoment + 5 * second + 7, 3003, true},
        {aMoment + 6 * second, 3004, false},        // and the next one, which it can
        {0, 3005, false},                           // 1601: before the runtime's range
    };
    LineSink sink;
    for (const auto& moment : moments) {
        fakePlatform::fileTime = moment.fileTime;
        fakePlatform::tickCount = moment.tick;
        fakePlatform::localTimeFails = moment.localTimeFails;
        EXPECT_EQ(sink.Format(LogLevel::INFO, "DllThunk", "m"), ReferenceLine(2, "DllThunk", "m", 99))
            << "at " << moment.fileTime;
    }
}

TEST(LoggerFormatClock, TakesTheDateAndTimeOfTheRuntimesClock)
{
    LineSink sink;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const __time64_t second = _time64(nullptr);
        const DWORD tick = GetTickCount();
        const std::string line = sink.Format(LogLevel::INFO, "s", "m");
        if (_time64(nullptr) != second || GetTickCount() != tick)
            continue;  // the clock moved on meanwhile: the moment is not one
        EXPECT_EQ(line.substr(0, timestampLength), ReferenceTimestamp(second, tick, false));
        return;
    }
    FAIL() << "the clock moved during every attempt";
}
