#pragma once
#include <windows.h>

// Steers the fakes of FakePlatform.h; the defaults pass the real values on.
namespace fakePlatform {
extern bool localTimeFails;
extern DWORD threadId;  // 0: the real thread id

// Restores the defaults when a test ends.
struct Scope {
    ~Scope()
    {
        localTimeFails = false;
        threadId = 0;
    }
};
}  // namespace fakePlatform
