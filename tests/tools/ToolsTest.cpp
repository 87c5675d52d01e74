// The field tools run as a user runs them, on prepared directories: each
// case lays out its own directory and reads the tool's report back.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TestFiles.h"

namespace {

std::wstring Bin() { return ProgramDirectory(); }

// A fresh directory for one case, holding `files`: {name there, file in the
// build's bin or a full path}.
std::wstring LayOut(const std::string& name, const std::vector<std::pair<std::wstring, std::wstring>>& files)
{
    const std::wstring directory = Widen(FreshDirectory("tools-" + name));
    for (const auto& [target, source] : files) {
        const std::wstring from = source.find(L'\\') == std::wstring::npos ? Bin() + L"\\" + source : source;
        EXPECT_TRUE(CopyFileW(from.c_str(), (directory + L"\\" + target).c_str(), FALSE))
            << std::string(from.begin(), from.end());
    }
    return directory;
}

// The other edition's stand-in backend, where the other edition is built.
std::wstring OtherEditionBackend()
{
    return Widen(OTHER_EDITION_BIN) + L"\\FakeAccept.dll";
}

// A tool's run, its lines ended by "\n" alone whatever its runtime wrote.
ChildOutcome RunTool(const std::wstring& commandLine, const std::wstring& directory, DWORD timeoutMs)
{
    ChildOutcome outcome = RunChild(commandLine, directory, timeoutMs);
    outcome.output = std::regex_replace(outcome.output, std::regex("\r\n"), "\n");
    return outcome;
}

// ---- VornelInfo ----

struct InfoCase {
    std::string name;
    std::vector<std::pair<std::wstring, std::wstring>> files;  // in the host's directory
    std::vector<std::string> expected;  // fragments of its --json report
    DWORD exitCode;
    bool needsOtherEdition = false;
};

const std::string notFound = "\"found\": false, \"foundIn\": null, \"path\": null, \"fromCurrentDirectory\": false,\n"
                             "   \"loads\": false, \"loadError\": \"0000007E\"";

std::vector<InfoCase> InfoCases()
{
    return {
        {"NonePresent", {},
         {"{\"name\": \"QUENDA.DLL\", " + notFound, "{\"name\": \"MIRTEL.DLL\", " + notFound,
          "{\"name\": \"Sorvik.DLL\", " + notFound, "\"kept\": null"},
         1},
        {"RefusingThenAccepting", {{L"QUENDA.DLL", L"FakeRefuse.dll"}, {L"MIRTEL.DLL", L"FakeAccept.dll"}},
         {"\"name\": \"QUENDA.DLL\", \"found\": true, \"foundIn\": \"application directory\"",
          "\"missingExports\": [], \"initResult\": 5, \"exitResult\": null}",
          "\"missingExports\": [], \"initResult\": 0, \"exitResult\": 2046885905}", "\"kept\": \"MIRTEL.DLL\""},
         0},
        {"MissingDependency", {{L"QUENDA.DLL", L"DefectiveNeedsDependency.dll"}},
         {"\"loads\": false, \"loadError\": \"0000007E\"",
          "\"diagnosis\": \"the file is there, but a DLL it depends on is missing: VornelTestDependency.dll\"",
          "\"kept\": null"},
         1},
        {"OtherArchitecture", {{L"QUENDA.DLL", OtherEditionBackend()}},
         {"\"loads\": false, \"loadError\": \"000000C1\"",
#ifdef _WIN64
          "\"diagnosis\": \"built for x86, and this is the x64 edition\"",
#else
          "\"diagnosis\": \"built for x64, and this is the x86 edition\"",
#endif
          "\"kept\": null"},
         1, true},
        {"MissingExports", {{L"QUENDA.DLL", L"FakeNoSendFile.dll"}},
         {"\"loads\": true", "\"missingExports\": [\"BT_OPP_SendFile\"], \"initResult\": 0",
          "\"kept\": \"QUENDA.DLL\""},
         0},
    };
}

class Info : public testing::TestWithParam<InfoCase> {};

TEST_P(Info, ReportsWhatTheProbeWouldMeet)
{
    const InfoCase& c = GetParam();
    if (c.needsOtherEdition && !Exists(OtherEditionBackend())) {
        printf("not run: the other edition is not built beside this one\n");
        return;
    }
    const std::wstring directory = LayOut("info-" + c.name, c.files);
    // Run from an empty directory, so that the current directory adds nothing.
    const std::wstring elsewhere = LayOut("info-" + c.name + "-cwd", {});
    const ChildOutcome info = RunTool(L"\"" + Bin() + L"\\VornelInfo.exe\" --init --json --dir \"" + directory + L"\"",
                                       elsewhere, 60000);
    ASSERT_TRUE(info.started);
    EXPECT_EQ(info.exitCode, c.exitCode) << info.output;
    for (const std::string& fragment : c.expected)
        EXPECT_NE(info.output.find(fragment), std::string::npos) << "missing: " << fragment << "\nin:\n" << info.output;
}

INSTANTIATE_TEST_SUITE_P(Directories, Info, testing::ValuesIn(InfoCases()),
                         [](const testing::TestParamInfo<InfoCase>& info) { return info.param.name; });

TEST(InfoWarns, WhenABackendWouldComeFromTheCurrentDirectory)
{
    const std::wstring host = LayOut("info-empty-host", {});
    const std::wstring documents = LayOut("info-documents", {{L"Sorvik.DLL", L"FakeAccept.dll"}});
    const ChildOutcome info = RunTool(L"\"" + Bin() + L"\\VornelInfo.exe\" --dir \"" + host + L"\"", documents, 60000);
    EXPECT_EQ(info.exitCode, 0u);
    EXPECT_NE(info.output.find("found       in the current directory"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("WARNING     it comes from the current directory"), std::string::npos) << info.output;
}

TEST(InfoLog, SaysWhereTheHostsLogGoesAndWhenItGoesNowhere)
{
    const std::wstring directory = LayOut("info-log", {});
    const std::wstring fits = directory + L"\\host.exe";
    const std::wstring tooLong = directory + L"\\" + std::wstring(MAX_PATH - directory.size() - 5, L'h') + L".exe";
    const ChildOutcome fitting = RunTool(L"\"" + Bin() + L"\\VornelInfo.exe\" --json --host \"" + fits + L"\"", L"", 60000);
    std::string expected = "\"path\": \"" + std::string(fits.begin(), fits.end()) + "-Vornel.log\", \"note\": null}";
    expected = std::regex_replace(expected, std::regex(R"(\\)"), R"(\\)");
    EXPECT_NE(fitting.output.find(expected), std::string::npos) << expected << "\nin:\n" << fitting.output;
    const ChildOutcome overLong = RunTool(L"\"" + Bin() + L"\\VornelInfo.exe\" --host \"" + tooLong + L"\"", L"", 60000);
    EXPECT_NE(overLong.output.find("no log: the log path would be 271 characters, over the 260"), std::string::npos)
        << overLong.output;
}

// ---- VornelCheck ----

using Verdicts = std::map<std::string, std::string>;  // check name -> PASS, FAIL or SKIP

// The rows of a report by check, and their details.
Verdicts Rows(const std::string& report, std::map<std::string, std::string>& details)
{
    Verdicts rows;
    static const std::regex row(R"((PASS|FAIL|SKIP)  (\S+)\s+(.*))");
    size_t start = 0;
    while (start < report.size()) {
        const size_t end = report.find('\n', start);
        const std::string line = report.substr(start, end - start);
        std::smatch match;
        if (std::regex_match(line, match, row)) {
            rows[match[2]] = match[1];
            details[match[2]] = match[3];
        }
        start = end == std::string::npos ? report.size() : end + 1;
    }
    return rows;
}

// Room for a crashing check's process to end even where 32-bit code is
// emulated; the hanging backend's checks take this long each.
constexpr int checkTimeoutSeconds = 8;

Verdicts RunCheck(const std::wstring& backend, std::map<std::string, std::string>& details, DWORD& exitCode)
{
    const ChildOutcome check = RunTool(L"\"" + Bin() + L"\\VornelCheck.exe\" --timeout " + std::to_wstring(checkTimeoutSeconds) + L" \"" + backend + L"\"",
                                        L"", 600000);
    EXPECT_TRUE(check.started && !check.timedOut);
    exitCode = check.exitCode;
    return Rows(check.output, details);
}

// What the simulated backend earns: a pass everywhere but the one check
// that needs a paired device, which its world starts without.
Verdicts SimulatedBackendsVerdicts(const Verdicts& rows)
{
    Verdicts expected;
    for (const auto& [name, status] : rows)
        expected[name] = name == "exit-ends-links" ? "SKIP" : "PASS";
    return expected;
}

constexpr size_t checkCount = 30;

TEST(Check, TheSimulatedBackendPassesEveryCheckItCanRun)
{
    std::map<std::string, std::string> details;
    DWORD exitCode = 0;
    const Verdicts rows = RunCheck(Bin() + L"\\VornelSim.dll", details, exitCode);
    EXPECT_EQ(rows.size(), checkCount);
    EXPECT_EQ(rows, SimulatedBackendsVerdicts(rows));
    EXPECT_EQ(exitCode, 0u);
}

struct DefectCase {
    std::string name;
    const wchar_t* backend;
    Verdicts differences;                                // from the simulated backend's verdicts
    std::map<std::string, std::string> detailFragments;  // check -> part of its detail
};

class CheckFindsDefect : public testing::TestWithParam<DefectCase> {};

TEST_P(CheckFindsDefect, InExactlyTheChecksItBreaks)
{
    const DefectCase& c = GetParam();
    const std::wstring directory =
        LayOut("check-" + c.name, {{L"VornelSim.dll", L"VornelSim.dll"}, {c.backend, c.backend}});
    std::map<std::string, std::string> details;
    DWORD exitCode = 0;
    const Verdicts rows = RunCheck(directory + L"\\" + c.backend, details, exitCode);
    ASSERT_EQ(rows.size(), checkCount);
    Verdicts expected = SimulatedBackendsVerdicts(rows);
    for (const auto& [name, status] : c.differences)
        expected[name] = status;
    EXPECT_EQ(rows, expected);
    for (const auto& [name, fragment] : c.detailFragments)
        EXPECT_NE(details[name].find(fragment), std::string::npos) << name << ": " << details[name];
    EXPECT_EQ(exitCode, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Backends, CheckFindsDefect,
    testing::Values(
        DefectCase{"CrashesOnANullRecord", L"DefectiveCrashOnNullRadio.dll",
                   {{"null-BT_QueryRadio-radio", "FAIL"}},
                   {{"null-BT_QueryRadio-radio", "the backend crashed (exit code "}}},
        DefectCase{"HangsInAQuery", L"DefectiveHangInRadio.dll",
                   {{"radio", "FAIL"}, {"calls-after-exit", "FAIL"}, {"init-again", "FAIL"}},
                   {{"radio", "did not finish within 8 s"}}},
        DefectCase{"NeverMakesTheFinalCall", L"DefectiveNoFinalCall.dll",
                   {{"discovery", "FAIL"}, {"discovery-cancel", "FAIL"}, {"discovery-restart", "FAIL"},
                    {"exit-ends-discovery", "FAIL"}},
                   {{"discovery", "no final call"}, {"discovery-cancel", "returned before the final call"}}},
        DefectCase{"LacksAnExport", L"DefectiveNoSendFile.dll",
                   {{"exports", "FAIL"}, {"calls-after-exit", "SKIP"}, {"null-BT_OPP_SendFile-path", "SKIP"},
                    {"null-BT_OPP_SendFile-bytesSent", "SKIP"}},
                   {{"exports", "lacks BT_OPP_SendFile"}}}),
    [](const testing::TestParamInfo<DefectCase>& info) { return info.param.name; });

}  // namespace
