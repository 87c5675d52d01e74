#include "FakePlatformControl.h"

#include <windows.h>

#include <ctime>

namespace fakePlatform {
bool localTimeFails = false;
DWORD threadId = 0;
}  // namespace fakePlatform

struct tm* fakeLocaltime64(const __time64_t* now)
{
    return fakePlatform::localTimeFails ? nullptr : _localtime64(now);
}

DWORD fakeThreadId()
{
    return fakePlatform::threadId ? fakePlatform::threadId : GetCurrentThreadId();
}
