#pragma once
// File helpers shared by the unit and end-to-end tests. Narrow paths are
// ASCII here, so widening them is a plain copy.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

inline std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// A fresh, empty directory under the temporary directory, for one test.
std::string FreshDirectory(const std::string& name);
std::wstring ProgramDirectory();  // the directory of the running program

std::string ReadWhole(const std::wstring& path);  // "" when absent
void WriteWhole(const std::wstring& path, const std::string& content);
bool Exists(const std::wstring& path);
// Whether some handle holds the file open, judged by an exclusive open.
bool HeldOpen(const std::wstring& path);

inline std::string ReadWhole(const std::string& path) { return ReadWhole(Widen(path)); }
inline void WriteWhole(const std::string& path, const std::string& content) { WriteWhole(Widen(path), content); }
inline bool Exists(const std::string& path) { return Exists(Widen(path)); }
inline bool HeldOpen(const std::string& path) { return HeldOpen(Widen(path)); }

// The lines of a text of "\r\n"-ended lines; fails the test on stray bytes.
std::vector<std::string> SplitLines(const std::string& content);

// Ends a test that races several threads early where Wine runs under a CPU
// emulator whose threading is unreliable (qemu before 10); CTest reports the
// test as skipped by the marker it prints. It runs in full everywhere else.
// (Not GTEST_SKIP: its reporting path itself crashes under that emulator.)
#define SKIP_IF_THREADS_UNRELIABLE()                                                   \
    do {                                                                               \
        if (GetEnvironmentVariableA("VORNEL_TEST_UNRELIABLE_THREADS", nullptr, 0)) {   \
            printf("not run: threads are unreliable under this CPU emulator\n");        \
            return;                                                                    \
        }                                                                              \
    } while (0)
