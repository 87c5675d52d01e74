// Object push: the file is read through, as a real push would send it.
#include "SimWorld.h"

namespace {

// Reads the whole file; its size, or -1 when it cannot be read or does not
// fit the contract's 32-bit count.
long long ReadThrough(HANDLE file)
{
    unsigned char chunk[16384];
    unsigned long long total = 0;
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
        if (got == 0)
            return total;
        total += got;
        if (total > 0xFFFFFFFFull)
            return -1;
    }
    return -1;
}

}  // namespace

int __cdecl BT_OPP_SendFile(BT_ADDR address, const wchar_t* path, unsigned int* bytesSent)
{
    {
        // The world is consulted under the lock; the file is read outside
        // it, so that a long push does not hold up other threads' calls.
        SimHeld held;
        int index;
        if (int error = CheckDeviceCall(address, path && bytesSent, &index))
            return error;
        if (!FindService(simDevices[index], BT_SERVICE_OPP))
            return BT_ERROR_NOT_FOUND;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return BT_ERROR_FILE;
    const long long size = ReadThrough(file);
    CloseHandle(file);
    if (size < 0)
        return BT_ERROR_FILE;
    *bytesSent = static_cast<unsigned int>(size);
    return BT_OK;
}
