#pragma once
#include <windows.h>

// One critical section, alive exactly as long as this object.
class Locker {
public:
    Locker() { InitializeCriticalSection(&section); }
    virtual ~Locker() { DeleteCriticalSection(&section); }

    Locker(const Locker&) = delete;
    Locker& operator=(const Locker&) = delete;

    void Lock() { EnterCriticalSection(&section); }
    void Unlock() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};
