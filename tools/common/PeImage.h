#pragma once
// Facts read from a PE file on disk, without loading it.
#include <windows.h>

#include <string>
#include <vector>

struct PeFacts {
    bool readable = false;  // a PE image whose headers could be read
    WORD machine = 0;       // IMAGE_FILE_MACHINE_*
    std::vector<std::string> imports;  // names of the DLLs it imports
};

PeFacts ReadPe(const std::wstring& path);

// "x86", "x64" or the machine number.
std::string MachineName(WORD machine);

// The machine of this program's own edition.
constexpr WORD ownMachine =
#ifdef _WIN64
    IMAGE_FILE_MACHINE_AMD64;
#else
    IMAGE_FILE_MACHINE_I386;
#endif
