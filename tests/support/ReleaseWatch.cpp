#include "ReleaseWatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "FakeBackend.h"

namespace {

using FreeLibraryFn = BOOL(WINAPI*)(HMODULE);
using FcloseFn = int(__cdecl*)(FILE*);

FreeLibraryFn realFreeLibrary;
FcloseFn realFclose;

BOOL WINAPI WatchedFreeLibrary(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = path + length;
    while (name > path && name[-1] != '\\')
        --name;
    char line[MAX_PATH + 16];
    snprintf(line, sizeof line, "FreeLibrary %s", name);
    AppendToJournal(nullptr, line);
    return realFreeLibrary(module);
}

int __cdecl WatchedFclose(FILE* file)
{
    AppendToJournal(nullptr, "fclose");
    return realFclose(file);
}

// The import address entry of `function` from `dll` in `image`, or null.
void** ImportEntry(HMODULE image, const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(image);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (_stricmp(reinterpret_cast<char*>(base + entry->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&addresses->u1.Function);
        }
    }
    return nullptr;
}

template <typename F>
void Reroute(HMODULE image, const char* dll, const char* function, F hook, F& real)
{
    void** entry = ImportEntry(image, dll, function);
    ASSERT_NE(entry, nullptr) << dll << "!" << function << " is not imported";
    DWORD protection;
    VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
    real = reinterpret_cast<F>(*entry);
    *entry = reinterpret_cast<void*>(hook);
    VirtualProtect(entry, sizeof *entry, protection, &protection);
}

}  // namespace

void WatchReleaseAndClose(HMODULE library)
{
    Reroute(library, "KERNEL32.dll", "FreeLibrary", &WatchedFreeLibrary, realFreeLibrary);
    Reroute(library, "msvcrt.dll", "fclose", &WatchedFclose, realFclose);
}
