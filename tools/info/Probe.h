#pragma once
// What the library's probe would meet for each backend name, and why.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A directory the platform searches for a bare module name, in its order.
struct SearchPlace {
    std::string kind;  // "application directory", "system directory", ...
    std::wstring directory;
};

// The platform's default search order for a host in `applicationDirectory`
// (safe DLL search mode: the current directory after the system's).
std::vector<SearchPlace> SearchOrder(const std::wstring& applicationDirectory);

struct BackendFacts {
    std::wstring name;
    bool found = false;
    std::string foundIn;          // the search place's kind
    std::wstring path;            // the file the search found, as loaded
    bool loads = false;
    DWORD loadError = 0;          // when it did not load
    std::string loadErrorText;    // the platform's message
    std::string diagnosis;        // why, where the error code alone does not say
    std::string version;          // of its version resource, "" when it has none
    std::vector<std::string> missingExports;
    std::optional<int> initResult;  // with --init, when it has BT_Init
    std::optional<int> exitResult;  // after an accepted BT_Init, when it has BT_Exit
};

// Finds `name` as the library's LoadLibraryW would, loads it, inspects it and,
// if `init`, calls its BT_Init (and BT_Exit after an acceptance); then releases it.
BackendFacts InspectBackend(const wchar_t* name, const std::vector<SearchPlace>& order, bool init);
