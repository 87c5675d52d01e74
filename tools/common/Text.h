#pragma once
// Paths and text as the tools print and pass them.
#include <string>

// UTF-8, for everything the tools print.
std::string Utf8(const std::wstring& text);

// `path` made absolute against the current directory; `path` itself where
// that fails.
std::wstring FullPath(const std::wstring& path);

// The path of the running program.
std::wstring OwnPath();
