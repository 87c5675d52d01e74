#pragma once
// Vornel.dll loaded the way a host loads it at run time.
#include <windows.h>

#include <string>

#include "BtSlots.h"
#include "FakeBackend.h"

// The export `name` of `module` as a function of type F.
template <typename F>
F ExportOf(HMODULE module, const char* name)
{
    // Through void(*)(), the one function type that casts to any other quietly.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Vornel.dll as a host sees it: loaded at run time, every export bound.
class Host {
public:
    using Function = int(__cdecl*)(FakeArg, FakeArg, FakeArg, FakeArg);

    explicit Host(const std::wstring& path = L"Vornel.dll");
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    int Init() { return init(); }
    int Exit() { return Call(SLOT_BT_Exit); }
    int Call(int slot, FakeArg a = 0, FakeArg b = 0, FakeArg c = 0, FakeArg d = 0)
    {
        return exports[slot](a, b, c, d);
    }
    Function Export(int slot) const { return exports[slot]; }
    HMODULE Module() const { return module; }
    void Unload();

private:
    HMODULE module;
    Function exports[SLOT_COUNT];
    int(__cdecl* init)();
};
