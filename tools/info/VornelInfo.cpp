// VornelInfo: what the library's backend probe would do in a host's
// directory, and why; where that host's log would be written.
//   VornelInfo [--dir DIRECTORY] [--host PROGRAM] [--init] [--json]
// Exit status 0 when a backend would be kept (with --init) or loads
// (without), 1 when none would, 2 for a command line it does not take.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "LogPath.h"
#include "NarrowText.h"
#include "PeImage.h"
#include "Probe.h"
#include "Text.h"

namespace {

const wchar_t* const probeOrder[] = {L"QUENDA.DLL", L"MIRTEL.DLL", L"Sorvik.DLL"};

struct Options {
    std::wstring directory;  // the host's, where the search starts
    std::wstring host;       // a host program, for its log path; "" for none
    bool init = false;
    bool json = false;
};

struct LogFacts {
    std::wstring host;
    std::wstring path;  // "" when the library would write no log
    std::string why;    // when it would not, or what to watch
};

bool Parse(int argc, wchar_t** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if ((argument == L"--dir" || argument == L"--host") && i + 1 < argc)
            (argument == L"--dir" ? options.directory : options.host) = FullPath(argv[++i]);
        else if (argument == L"--init")
            options.init = true;
        else if (argument == L"--json")
            options.json = true;
        else
            return false;
    }
    if (options.directory.empty())
        options.directory = options.host.empty() ? FullPath(L".") : options.host.substr(0, options.host.rfind(L'\\'));
    return true;
}

LogFacts InspectLog(const std::wstring& host)
{
    LogFacts facts{host, L"", ""};
    char narrow[FileLogger::pathCapacity];
    switch (MakeLogPath(host.c_str(), host.size(), narrow)) {
    case LogPathOutcome::PathTooLong:
        facts.why = "no log: the log path would be " + std::to_string(host.size() + wcslen(logPathSuffix)) +
                    " characters, over the " + std::to_string(MAX_PATH) + " the library allows";
        return facts;
    case LogPathOutcome::NarrowTooLong:
        facts.why = "no log: the log path in the ANSI code page needs more than " +
                    std::to_string(FileLogger::pathCapacity - 1) + " bytes";
        return facts;
    case LogPathOutcome::Made:
        break;
    }
    facts.path = host + logPathSuffix;
    wchar_t back[FileLogger::pathCapacity];
    MultiByteToWideChar(CP_THREAD_ACP, 0, narrow, -1, back, FileLogger::pathCapacity);
    if (facts.path != back)
        facts.why = "the path has characters outside the ANSI code page: the log is opened as " +
                    Utf8(back) + ", which may fail or name another file";
    return facts;
}

std::string Json(const std::string& text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}
std::string Json(const std::wstring& text) { return Json(Utf8(text)); }
template <typename T>
std::string JsonOrNull(bool present, const T& value) { return present ? Json(value) : "null"; }

std::string Hex(DWORD value)
{
    char text[12];
    snprintf(text, sizeof text, "%08lX", value);
    return text;
}

const BackendFacts* Kept(const std::vector<BackendFacts>& backends, bool init)
{
    for (const BackendFacts& backend : backends)
        if (backend.loads && (!init || backend.initResult == 0))
            return &backend;
    return nullptr;
}

void PrintJson(const Options& options, const std::vector<BackendFacts>& backends, const LogFacts* log)
{
    printf("{\"edition\": %s, \"applicationDirectory\": %s, \"init\": %s,\n \"backends\": [\n",
           Json(MachineName(ownMachine)).c_str(), Json(options.directory).c_str(), options.init ? "true" : "false");
    for (size_t i = 0; i < backends.size(); ++i) {
        const BackendFacts& b = backends[i];
        std::string missing;
        for (const std::string& name : b.missingExports)
            missing += (missing.empty() ? "" : ", ") + Json(name);
        printf("  {\"name\": %s, \"found\": %s, \"foundIn\": %s, \"path\": %s, \"fromCurrentDirectory\": %s,\n"
               "   \"loads\": %s, \"loadError\": %s, \"loadErrorText\": %s, \"diagnosis\": %s,\n"
               "   \"version\": %s, \"missingExports\": [%s], \"initResult\": %s, \"exitResult\": %s}%s\n",
               Json(b.name).c_str(), b.found ? "true" : "false", JsonOrNull(b.found, b.foundIn).c_str(),
               JsonOrNull(b.found, b.path).c_str(), b.foundIn == "current directory" ? "true" : "false",
               b.loads ? "true" : "false", JsonOrNull(!b.loads, Hex(b.loadError)).c_str(),
               JsonOrNull(!b.loads, b.loadErrorText).c_str(), JsonOrNull(!b.diagnosis.empty(), b.diagnosis).c_str(),
               JsonOrNull(!b.version.empty(), b.version).c_str(), missing.c_str(),
               b.initResult ? std::to_string(*b.initResult).c_str() : "null",
               b.exitResult ? std::to_string(*b.exitResult).c_str() : "null", i + 1 < backends.size() ? "," : "");
    }
    const BackendFacts* kept = Kept(backends, options.init);
    printf(" ],\n \"%s\": %s", options.init ? "kept" : "firstLoading", JsonOrNull(kept, kept ? kept->name : L"").c_str());
    if (log)
        printf(",\n \"log\": {\"host\": %s, \"path\": %s, \"note\": %s}", Json(log->host).c_str(),
               JsonOrNull(!log->path.empty(), log->path).c_str(), JsonOrNull(!log->why.empty(), log->why).c_str());
    printf("\n}\n");
}

void PrintText(const Options& options, const std::vector<BackendFacts>& backends, const LogFacts* log)
{
    printf("Vornel backend probe for %s (%s edition)\n", Utf8(options.directory).c_str(),
           MachineName(ownMachine).c_str());
    int number = 0;
    for (const BackendFacts& b : backends) {
        printf("\n%d. %s\n", ++number, Utf8(b.name).c_str());
        if (!b.found) {
            printf("   found       no, in none of the searched directories\n");
        } else {
            printf("   found       in the %s: %s\n", b.foundIn.c_str(), Utf8(b.path).c_str());
            if (b.foundIn == "current directory")
                printf("   WARNING     it comes from the current directory: a DLL of this name planted in\n"
                       "               a document folder would be loaded instead; ship backends in the\n"
                       "               application's directory or a system directory\n");
            printf("   version     %s\n", b.version.empty() ? "(no version resource)" : b.version.c_str());
        }
        if (!b.loads) {
            printf("   loads       no: error %s, %s\n", Hex(b.loadError).c_str(), b.loadErrorText.c_str());
            if (!b.diagnosis.empty())
                printf("               %s\n", b.diagnosis.c_str());
            continue;
        }
        printf("   loads       yes\n");
        if (b.missingExports.empty())
            printf("   exports     all 18\n");
        for (const std::string& name : b.missingExports)
            printf("   lacks       %s%s\n", name.c_str(),
                   name == "BT_Init" ? " (the library counts it as refusing)" : " (the library answers 3 for it)");
        if (options.init && b.initResult)
            printf("   BT_Init     %d, %s\n", *b.initResult, *b.initResult == 0 ? "accepted" : "refused");
        if (b.exitResult)
            printf("   BT_Exit     %d\n", *b.exitResult);
    }
    const BackendFacts* kept = Kept(backends, options.init);
    printf("\n");
    if (!kept)
        printf("No backend %s: BT_Init would answer 1 (BT_ERROR_NO_BACKEND).\n",
               options.init ? "accepts" : "loads");
    else if (options.init)
        printf("The library would keep %s.\n", Utf8(kept->name).c_str());
    else
        printf("%s loads first; --init tells whether it accepts.\n", Utf8(kept->name).c_str());
    if (log) {
        printf("\nLog of %s:\n  %s\n", Utf8(log->host).c_str(),
               log->path.empty() ? log->why.c_str() : Utf8(log->path).c_str());
        if (!log->path.empty() && !log->why.empty())
            printf("  WARNING %s\n", log->why.c_str());
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        fprintf(stderr, "usage: VornelInfo [--dir DIRECTORY] [--host PROGRAM] [--init] [--json]\n");
        return 2;
    }
    // A missing DLL is reported here, not by a dialog box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<SearchPlace> order = SearchOrder(options.directory);
    std::vector<BackendFacts> backends;
    for (const wchar_t* name : probeOrder)
        backends.push_back(InspectBackend(name, order, options.init));
    LogFacts log;
    if (!options.host.empty())
        log = InspectLog(options.host);
    (options.json ? PrintJson : PrintText)(options, backends, options.host.empty() ? nullptr : &log);
    return Kept(backends, options.init) ? 0 : 1;
}
