// One stand-in backend, built in several variants:
//   FAKE_ID           the variant's number, part of every result
//   FAKE_INIT_RESULT  what BT_Init answers
//   FAKE_ACCEPT_ONCE  BT_Init answers 0 only the first time in a process
// A variant lacks an export when the build renames it, e.g.
// -DBT_OPP_SendFile=Withheld_BT_OPP_SendFile.
#include <windows.h>

#include <cwchar>

#include "BtSlots.h"
#include "FakeBackend.h"

namespace {

HMODULE self;
FakeCall lastCall = {-1, nullptr, nullptr, {}};
volatile LONG callCounts[SLOT_COUNT];

void Journal(const char* event, const char* detail = "")
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    char narrowName[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, wcsrchr(path, L'\\') + 1, -1, narrowName, sizeof narrowName, nullptr,
                        nullptr);
    char line[MAX_PATH + 64];
    wsprintfA(line, "%s %s%s", event, narrowName, detail);
    AppendToJournal(self, line);
}

// Whether the host's log file is open in some process at this moment.
const char* LogFileState()
{
    wchar_t path[MAX_PATH + 16];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wcscpy(path + length, L"-Vornel.log");
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return " log=closed";
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? " log=open" : " log=absent";
}

int InitResult()
{
#ifdef FAKE_ACCEPT_ONCE
    // The environment outlives a release of this module; its statics do not.
    if (GetEnvironmentVariableW(L"FAKE_ACCEPTED_ONCE", nullptr, 0))
        return 5;
    SetEnvironmentVariableW(L"FAKE_ACCEPTED_ONCE", L"1");
    return 0;
#else
    return FAKE_INIT_RESULT;
#endif
}

int Record(int slot, const void* frame, const void* returnAddress, FakeArg a, FakeArg b, FakeArg c,
           FakeArg d)
{
    InterlockedIncrement(&callCounts[slot]);
    lastCall.slot = slot;
    lastCall.frame = frame;
    lastCall.returnAddress = returnAddress;
    lastCall.args[0] = a;
    lastCall.args[1] = b;
    lastCall.args[2] = c;
    lastCall.args[3] = d;
    if (slot == SLOT_BT_Init) {
        Journal("BT_Init");
        return InitResult();
    }
    if (slot == SLOT_BT_Exit)
        Journal("BT_Exit");
    return FakeResult(FAKE_ID, slot);
}

}  // namespace

// Every export takes four argument words: reading them is safe whatever the
// caller passed, since on x86 the caller's own frame lies above, and on x64
// they are registers.
#define VORNEL_FUNCTION(name)                                                                 \
    extern "C" __declspec(dllexport) __attribute__((noinline)) int __cdecl name(               \
        FakeArg a, FakeArg b, FakeArg c, FakeArg d)                                            \
    {                                                                                          \
        return Record(SLOT_##name, __builtin_frame_address(0), __builtin_return_address(0), a, \
                      b, c, d);                                                                \
    }
#include "BtFunctions.h"
#undef VORNEL_FUNCTION

extern "C" __declspec(dllexport) void __cdecl Fake_LastCall(FakeCall* call)
{
    *call = lastCall;
}

extern "C" __declspec(dllexport) int __cdecl Fake_CallCount(int slot)
{
    return callCounts[slot];
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        Journal("load");
    } else if (reason == DLL_PROCESS_DETACH) {
        Journal("release", LogFileState());
    }
    return TRUE;
}
