#pragma once
#include "BtSlots.h"
#include "DllThunk.h"

// Address of a function exported by the backend; all are caller-cleans.
using EntryPoint = int(__cdecl*)();

// The backend module and its eighteen entry points, in slot order. The
// export stubs read `module` and `entryPoints` directly, so both stay plain
// fields.
class VornelThunk : public DllThunk {
public:
    constexpr VornelThunk() = default;

    // False exactly when a module loaded but some export failed to bind;
    // those slots are then null.
    bool Load(const wchar_t* name) override;

    EntryPoint entryPoints[SLOT_COUNT] = {};
};

extern VornelThunk theThunk;
