#include "Text.h"

#include <windows.h>

namespace {
constexpr DWORD longestPath = 32768;  // in UTF-16 units, with the terminator
}

std::string Utf8(const std::wstring& text)
{
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &utf8[0], int(utf8.size()), nullptr, nullptr);
    return utf8;
}

std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(longestPath, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), longestPath, &full[0], nullptr);
    return length && length < longestPath ? full.substr(0, length) : path;
}

std::wstring OwnPath()
{
    std::wstring path(longestPath, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], longestPath));
    return path;
}
