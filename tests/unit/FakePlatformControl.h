#pragma once
#include <windows.h>

#include <cstdint>

// Steers the fakes of FakePlatform.h; the defaults pass the real values on.
namespace fakePlatform {
extern bool localTimeFails;
extern DWORD threadId;  // 0: the real thread id
extern bool clockSet;   // false: the real clock and tick count
extern uint64_t fileTime;  // while clockSet: the system clock, in FILETIME's 100 ns units
extern DWORD tickCount;    // while clockSet

// Restores the defaults when a test ends.
struct Scope {
    ~Scope()
    {
        localTimeFails = false;
        threadId = 0;
        clockSet = false;
    }
};
}  // namespace fakePlatform
