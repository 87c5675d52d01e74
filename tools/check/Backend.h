#pragma once
// One backend DLL, loaded by path, its exports bound with the types of vornel.h.
#include <windows.h>

#include <string>
#include <vector>

#include "vornel.h"

struct Backend {
    // Loads `path`; its own dependencies are searched from its directory.
    explicit Backend(const std::wstring& path);
    ~Backend();
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    std::vector<std::string> Missing() const;  // exports it lacks, in table order

    HMODULE module;
    DWORD loadError = 0;
#define VORNEL_FUNCTION(name) decltype(&::name) name = nullptr;
#include "BtFunctions.h"
#undef VORNEL_FUNCTION
};
