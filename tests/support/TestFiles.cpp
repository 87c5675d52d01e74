#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + "\\" + name);
            else
                DeleteFileA((dir + "\\" + name).c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

// Wine hands out the same process ids in every session, so a directory of an
// earlier run can be there, subdirectories and all.
std::string FreshDirectory(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "vornel-" + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH + 1];
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::wstring dir = path;
    return dir.substr(0, dir.rfind(L'\\'));
}

std::string ReadWhole(const std::wstring& path)
{
    std::string content;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char chunk[65536];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        fclose(file);
    }
    return content;
}

void WriteWhole(const std::wstring& path, const std::string& content)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool HeldOpen(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}

std::vector<std::string> SplitLines(const std::string& content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(content.substr(start, end - start));
    EXPECT_EQ(start, content.size()) << "bytes after the last line";
    return lines;
}
