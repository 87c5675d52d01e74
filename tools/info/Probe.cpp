#include "Probe.h"

#include <cwchar>

#include "BtSlots.h"
#include "PeImage.h"
#include "Text.h"

namespace {

using EntryPoint = int(__cdecl*)();

std::wstring SystemPath(UINT(WINAPI* get)(LPWSTR, UINT))
{
    wchar_t path[MAX_PATH];
    const UINT length = get(path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string PlatformMessage(DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Utf8(message);
}

std::string VersionOf(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        return "";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// The imports of `path` that neither its own directory nor the search finds.
std::vector<std::string> MissingDependencies(const std::wstring& path, const std::vector<SearchPlace>& order)
{
    std::vector<std::string> missing;
    const std::wstring ownDirectory = path.substr(0, path.rfind(L'\\'));
    for (const std::string& import : ReadPe(path).imports) {
        const std::wstring name(import.begin(), import.end());
        bool found = IsFile(ownDirectory + L"\\" + name);
        for (const SearchPlace& place : order)
            found = found || IsFile(place.directory + L"\\" + name);
        if (!found)
            missing.push_back(import);
    }
    return missing;
}

void Diagnose(BackendFacts& facts, const std::vector<SearchPlace>& order)
{
    if (facts.loadError == ERROR_MOD_NOT_FOUND) {
        std::string names;
        for (const std::string& name : MissingDependencies(facts.path, order))
            names += (names.empty() ? "" : ", ") + name;
        facts.diagnosis = "the file is there, but a DLL it depends on is missing" +
                          (names.empty() ? std::string() : ": " + names);
    } else if (facts.loadError == ERROR_BAD_EXE_FORMAT) {
        const PeFacts pe = ReadPe(facts.path);
        facts.diagnosis = pe.readable ? "built for " + MachineName(pe.machine) + ", and this is the " +
                                            MachineName(ownMachine) + " edition"
                                      : "not a Windows DLL";
    }
}

}  // namespace

std::vector<SearchPlace> SearchOrder(const std::wstring& applicationDirectory)
{
    const std::wstring windows = SystemPath(GetWindowsDirectoryW);
    std::vector<SearchPlace> order = {
        {"application directory", applicationDirectory},
        {"system directory", SystemPath(GetSystemDirectoryW)},
        {"16-bit system directory", windows + L"\\System"},
        {"Windows directory", windows},
    };
    wchar_t current[MAX_PATH];
    if (GetCurrentDirectoryW(MAX_PATH, current))
        order.push_back({"current directory", current});
    std::wstring path(GetEnvironmentVariableW(L"PATH", nullptr, 0), L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", &path[0], DWORD(path.size())));
    for (size_t start = 0; start < path.size();) {
        const size_t end = path.find(L';', start);
        const std::wstring directory = path.substr(start, end - start);
        if (!directory.empty())
            order.push_back({"PATH", directory});
        start = end == std::wstring::npos ? path.size() : end + 1;
    }
    return order;
}

BackendFacts InspectBackend(const wchar_t* name, const std::vector<SearchPlace>& order, bool init)
{
    BackendFacts facts;
    facts.name = name;
    for (const SearchPlace& place : order) {
        if (IsFile(place.directory + L"\\" + name)) {
            facts.found = true;
            facts.foundIn = place.kind;
            facts.path = place.directory + L"\\" + name;
            break;
        }
    }
    if (!facts.found) {
        facts.loadError = ERROR_MOD_NOT_FOUND;
        facts.loadErrorText = PlatformMessage(facts.loadError);
        return facts;
    }
    facts.version = VersionOf(facts.path);
    // Its own dependencies are then searched from its directory first, as
    // they are for a backend that the search found in the host's directory.
    HMODULE module = LoadLibraryExW(facts.path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        facts.loadError = GetLastError();
        facts.loadErrorText = PlatformMessage(facts.loadError);
        // Some messages name the file through an insert that was not filled.
        if (const size_t insert = facts.loadErrorText.find("%1"); insert != std::string::npos)
            facts.loadErrorText.replace(insert, 2, Utf8(name));
        Diagnose(facts, order);
        return facts;
    }
    facts.loads = true;
    wchar_t loaded[MAX_PATH];
    if (DWORD length = GetModuleFileNameW(module, loaded, MAX_PATH); length && length < MAX_PATH)
        facts.path = loaded;
    for (const char* slot : slotNames)
        if (!GetProcAddress(module, slot))
            facts.missingExports.push_back(slot);
    if (init) {
        const auto entry = [module](int slot) {
            return reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(module, slotNames[slot])));
        };
        if (const EntryPoint btInit = entry(SLOT_BT_Init))
            facts.initResult = btInit();
        if (const EntryPoint btExit = entry(SLOT_BT_Exit); btExit && facts.initResult == 0)
            facts.exitResult = btExit();
    }
    FreeLibrary(module);
    return facts;
}
