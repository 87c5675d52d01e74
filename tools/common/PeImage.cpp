#include "PeImage.h"

#include <cstring>

namespace {

template <typename T>
bool ReadAt(const std::vector<char>& file, size_t offset, T& value)
{
    if (offset > file.size() || file.size() - offset < sizeof value)
        return false;
    memcpy(&value, file.data() + offset, sizeof value);
    return true;
}

// The file offset of an RVA, through the section table.
size_t FileOffset(const std::vector<IMAGE_SECTION_HEADER>& sections, DWORD rva)
{
    for (const IMAGE_SECTION_HEADER& section : sections)
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
            return rva - section.VirtualAddress + section.PointerToRawData;
    return SIZE_MAX;
}

std::string TextAt(const std::vector<char>& file, size_t offset)
{
    std::string text;
    while (offset < file.size() && file[offset] && text.size() < MAX_PATH)
        text += file[offset++];
    return text;
}

// The whole file, or nothing where it cannot be read.
std::vector<char> Contents(const std::wstring& path)
{
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    std::vector<char> file;
    LARGE_INTEGER size;
    DWORD got = 0;
    if (handle != INVALID_HANDLE_VALUE && GetFileSizeEx(handle, &size) && size.QuadPart < (1 << 30)) {
        file.resize(size_t(size.QuadPart));
        if (!ReadFile(handle, file.data(), DWORD(file.size()), &got, nullptr) || got != file.size())
            file.clear();
    }
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return file;
}

}  // namespace

PeFacts ReadPe(const std::wstring& path)
{
    PeFacts facts;
    const std::vector<char> file = Contents(path);
    IMAGE_DOS_HEADER dos;
    DWORD signature;
    IMAGE_FILE_HEADER header;
    if (!ReadAt(file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(file, dos.e_lfanew, signature) ||
        signature != IMAGE_NT_SIGNATURE || !ReadAt(file, dos.e_lfanew + 4, header))
        return facts;
    facts.readable = true;
    facts.machine = header.Machine;

    const size_t optional = dos.e_lfanew + 4 + sizeof header;
    std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
    for (size_t i = 0; i < sections.size(); ++i)
        if (!ReadAt(file, optional + header.SizeOfOptionalHeader + i * sizeof(IMAGE_SECTION_HEADER), sections[i]))
            return facts;
    // The data directories sit at different places in PE32 and PE32+.
    WORD magic = 0;
    ReadAt(file, optional, magic);
    const size_t directories = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                               ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                               : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    IMAGE_DATA_DIRECTORY imports;
    if (!ReadAt(file, directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, imports) || !imports.Size)
        return facts;
    size_t entry = FileOffset(sections, imports.VirtualAddress);
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    while (ReadAt(file, entry, descriptor) && descriptor.Name) {
        facts.imports.push_back(TextAt(file, FileOffset(sections, descriptor.Name)));
        entry += sizeof descriptor;
    }
    return facts;
}

std::string MachineName(WORD machine)
{
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "x86";
    case IMAGE_FILE_MACHINE_AMD64:
        return "x64";
    default:
        return "machine " + std::to_string(machine);
    }
}
