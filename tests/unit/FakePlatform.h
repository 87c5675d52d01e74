#pragma once
// Forced into the log sources of the unit-test build only: routes the clock,
// the tick count, local-time conversion and the thread id through fakes a
// test can steer.
#include <windows.h>

#include <ctime>

struct tm* fakeLocaltime64(const __time64_t* now);
DWORD fakeThreadId();
void fakeSystemTimeAsFileTime(FILETIME* now);
DWORD fakeTickCount();

#define _localtime64 fakeLocaltime64
#define GetCurrentThreadId fakeThreadId
#define GetSystemTimeAsFileTime fakeSystemTimeAsFileTime
#define GetTickCount fakeTickCount
