#include "Host.h"

#include <gtest/gtest.h>

#include <cstdlib>

Host::Host(const std::wstring& path) : module(LoadLibraryW(path.c_str()))
{
    if (!module) {
        ADD_FAILURE() << "cannot load Vornel.dll, error " << GetLastError();
        exit(1);
    }
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        exports[slot] = ExportOf<Function>(module, slotNames[slot]);
    init = ExportOf<int(__cdecl*)()>(module, "BT_Init");
}

Host::~Host()
{
    Unload();
}

void Host::Unload()
{
    if (module)
        FreeLibrary(module);
    module = nullptr;
}
