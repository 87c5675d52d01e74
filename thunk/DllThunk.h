#pragma once
#include <windows.h>

// Owns at most one loaded module.
class DllThunk {
public:
    constexpr DllThunk() = default;
    virtual ~DllThunk() { Unload(); }

    DllThunk(const DllThunk&) = delete;
    DllThunk& operator=(const DllThunk&) = delete;

    // Releases any held module, then loads `name` and binds what the
    // derived class needs. Success is judged by `module`, not the result.
    virtual bool Load(const wchar_t* name) = 0;
    void Unload();

    HMODULE module = nullptr;  // null while no module is held
};
