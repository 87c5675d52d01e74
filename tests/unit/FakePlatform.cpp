#include "FakePlatformControl.h"

#include <windows.h>

#include <ctime>

namespace fakePlatform {
bool localTimeFails = false;
DWORD threadId = 0;
bool clockSet = false;
uint64_t fileTime = 0;
DWORD tickCount = 0;
}  // namespace fakePlatform

struct tm* fakeLocaltime64(const __time64_t* now)
{
    return fakePlatform::localTimeFails ? nullptr : _localtime64(now);
}

DWORD fakeThreadId()
{
    return fakePlatform::threadId ? fakePlatform::threadId : GetCurrentThreadId();
}

void fakeSystemTimeAsFileTime(FILETIME* now)
{
    if (!fakePlatform::clockSet)
        return GetSystemTimeAsFileTime(now);
    now->dwLowDateTime = DWORD(fakePlatform::fileTime);
    now->dwHighDateTime = DWORD(fakePlatform::fileTime >> 32);
}

DWORD fakeTickCount()
{
    return fakePlatform::clockSet ? fakePlatform::tickCount : GetTickCount();
}
