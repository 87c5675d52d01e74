#pragma once
// What a stand-in backend received, read back through its exported accessors.

#include <cstdint>

// An argument word: a stack slot on x86, a whole register on x64 (rcx, rdx,
// r8, r9 carry the first four).
using FakeArg = intptr_t;

struct FakeCall {
    int slot;                   // the export last called, by slot; -1 before any
    const void* frame;          // its own frame: a fixed distance below the
                                // stack pointer it was entered with
    const void* returnAddress;  // where it returned to
    FakeArg args[4];            // the first four argument words
};

using FakeLastCallFn = void(__cdecl*)(FakeCall*);
using FakeCallCountFn = int(__cdecl*)(int slot);

// What every export but BT_Init answers: distinct per variant and function.
constexpr int FakeResult(int fakeId, int slot)
{
    return static_cast<int>(0x7A000000u | unsigned(fakeId) << 16 | unsigned(slot));
}

// The journal each backend appends to, beside itself: one line per load,
// release, BT_Init and BT_Exit, "<event> <module file name>".
inline constexpr wchar_t fakeJournalName[] = L"journal.txt";
