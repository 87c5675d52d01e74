#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogMgr.h"
#include "RecordingSink.h"

using Calls = std::vector<std::string>;
const Calls admitted = {"A:Accept", "A:Lock", "A:Format", "A:Write", "A:Flush", "A:Unlock"};

TEST(LogMgr, DispatchesNewestFirstAndDeletesInReverseOrder)
{
    RecordingSink::Journal journal;
    {
        LogMgr mgr;
        mgr.AddLogger(new RecordingSink(journal, "A"));
        mgr.AddLogger(new RecordingSink(journal, "B"));
        mgr.Log(LogLevel::INFO, "src", "m");
        EXPECT_EQ(journal.calls.front(), "B:Accept");
        EXPECT_EQ(journal.calls[6], "A:Accept");
        journal.calls.clear();
    }
    EXPECT_EQ(journal.calls, (Calls{"B:deleted", "A:deleted"}));
}

TEST(LogMgr, SinkRegisteredTwiceReceivesTwiceAndIsDeletedOnce)
{
    RecordingSink::Journal journal;
    {
        LogMgr mgr;
        auto* sink = new RecordingSink(journal, "A");
        mgr.AddLogger(sink);
        mgr.AddLogger(sink);
        mgr.AddLogger(nullptr);
        mgr.Log(LogLevel::WARN, "src", "m");
        EXPECT_EQ(journal.messages, (std::vector<std::string>{"m", "m"}));
        journal.calls.clear();
    }
    EXPECT_EQ(journal.calls, (Calls{"A:deleted"}));
}

struct DispatchCase {
    const char* name;
    LogLevel sinkLevel;
    bool accept;
    bool autoFlush;
    LogLevel level;
    const char* message;
    Calls expected;
};

class LogMgrDispatch : public testing::TestWithParam<DispatchCase> {};

TEST_P(LogMgrDispatch, CallsTheSinkInContractOrder)
{
    const DispatchCase& c = GetParam();
    RecordingSink::Journal journal;
    LogMgr mgr;
    mgr.AddLogger(new RecordingSink(journal, "A", c.sinkLevel, c.accept, c.autoFlush));
    mgr.Log(c.level, "src", c.message);
    EXPECT_EQ(journal.calls, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogMgrDispatch,
    testing::Values(
        DispatchCase{"Admitted", LogLevel::INFO, true, true, LogLevel::INFO, "m", admitted},
        DispatchCase{"AboveMinLevel", LogLevel::INFO, true, true, LogLevel::FATAL, "m", admitted},
        DispatchCase{"TraceBelowMinLevel", LogLevel::INFO, true, true, LogLevel::TRACE, "m", {}},
        DispatchCase{"DebugBelowMinLevel", LogLevel::INFO, true, true, LogLevel::DEBUG, "m", {}},
        DispatchCase{"NullMessage", LogLevel::TRACE, true, true, LogLevel::INFO, nullptr, {}},
        DispatchCase{"Refused", LogLevel::INFO, false, true, LogLevel::INFO, "m", {"A:Accept"}},
        DispatchCase{"NoAutoFlush", LogLevel::INFO, true, false, LogLevel::INFO, "m",
                     {"A:Accept", "A:Lock", "A:Format", "A:Write", "A:Unlock"}},
        DispatchCase{"EmptyMessage", LogLevel::INFO, true, true, LogLevel::INFO, "", admitted}),
    [](const testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

TEST(LogMgr, PassesANullSourceOnUnchanged)
{
    RecordingSink::Journal journal;
    LogMgr mgr;
    mgr.AddLogger(new RecordingSink(journal, "A"));
    mgr.Log(LogLevel::INFO, nullptr, "m");
    EXPECT_EQ(journal.sources, (std::vector<std::string>{"<null>"}));
}

struct FormattedCase {
    const char* name;
    size_t textLength;
    std::string::size_type expectedLength;
    bool ellipsis;
};

class LogMgrFormatted : public testing::TestWithParam<FormattedCase> {};

TEST_P(LogMgrFormatted, BoundsTheMessage)
{
    const FormattedCase& c = GetParam();
    RecordingSink::Journal journal;
    LogMgr mgr;
    mgr.AddLogger(new RecordingSink(journal, "A"));
    const std::string text(c.textLength, 'x');
    mgr.LogFormatted(LogLevel::INFO, "src", "%s", text.c_str());
    ASSERT_EQ(journal.messages.size(), 1u);
    const std::string& message = journal.messages[0];
    EXPECT_EQ(message.size(), c.expectedLength);
    EXPECT_EQ(message.compare(0, std::min(c.textLength, size_t(LogMgr::messageLimit)),
                              text, 0, LogMgr::messageLimit),
              0);
    EXPECT_EQ(message.size() >= 3 && message.compare(message.size() - 3, 3, "...") == 0,
              c.ellipsis);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogMgrFormatted,
                         testing::Values(FormattedCase{"Empty", 0, 0, false},
                                         FormattedCase{"Short", 5, 5, false},
                                         FormattedCase{"JustBelowLimit", 16383, 16383, false},
                                         FormattedCase{"AtLimit", 16384, 16384, false},
                                         FormattedCase{"OneOver", 16385, 16387, true},
                                         FormattedCase{"FarOver", 50000, 16387, true}),
                         [](const testing::TestParamInfo<FormattedCase>& info) {
                             return info.param.name;
                         });

TEST(LogMgr, FormatsTheLibrarysDirectives)
{
    RecordingSink::Journal journal;
    LogMgr mgr;
    mgr.AddLogger(new RecordingSink(journal, "A"));
    mgr.LogFormatted(LogLevel::WARN, "DllThunk", "Load Dll %s Failed, Error = %08X", "QUENDA.DLL",
                     0x7Eu);
    EXPECT_EQ(journal.messages, (std::vector<std::string>{"Load Dll QUENDA.DLL Failed, Error = 0000007E"}));
}
