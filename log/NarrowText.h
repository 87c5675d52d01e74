#pragma once
#include <windows.h>

// Converts a wide text to the calling thread's ANSI code page, terminator
// included, with the platform's default rules for characters the code page
// lacks. False, with `narrow` left empty, when it does not fit `size` bytes.
inline bool ToNarrow(const wchar_t* wide, char* narrow, int size)
{
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, narrow, size, nullptr, nullptr) > 0)
        return true;
    // A failed conversion may leave a partial, unterminated text behind.
    narrow[0] = '\0';
    return false;
}
