#pragma once
// What a stand-in backend received, read back through its exported accessors.
#include <windows.h>


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

// Appends `line` and "\r\n" to the journal beside `module` (null: the host
// program). Plain buffers and system calls only: it runs as late as a
// module's detach and the process's end.
inline void AppendToJournal(HMODULE module, const char* line)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    wchar_t* name = path + length;
    while (name > path && name[-1] != L'\\')
        --name;
    lstrcpyW(name, fakeJournalName);
    HANDLE journal = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(journal, line, lstrlenA(line), &written, nullptr);
    WriteFile(journal, "\r\n", 2, &written, nullptr);
    CloseHandle(journal);
}
