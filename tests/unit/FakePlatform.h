#pragma once
// Forced into the log sources of the unit-test build only: routes the local
// clock and the thread id through fakes a test can steer.
#include <windows.h>

#include <ctime>

struct tm* fakeLocaltime64(const __time64_t* now);
DWORD fakeThreadId();

#define _localtime64 fakeLocaltime64
#define GetCurrentThreadId fakeThreadId
