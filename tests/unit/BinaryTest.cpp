// Holds the built DLL and its .def against the one function table.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "BtSlots.h"
#include "TestFiles.h"

namespace {

std::vector<std::string> TableSorted()
{
    std::vector<std::string> names(slotNames, slotNames + SLOT_COUNT);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring LibraryPath()
{
    return ProgramDirectory() + L"\\Vornel.dll";
}

// Vornel.dll mapped as an image, without running its entry point.
class VornelImage : public testing::Test {
protected:
    void SetUp() override
    {
        image = LoadLibraryExW(LibraryPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(image, nullptr);
        base = reinterpret_cast<const BYTE*>(image);
        auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    }
    void TearDown() override { FreeLibrary(image); }

    const IMAGE_DATA_DIRECTORY& Directory(int entry) const
    {
        return nt->OptionalHeader.DataDirectory[entry];
    }
    template <typename T>
    const T* At(DWORD rva) const
    {
        return reinterpret_cast<const T*>(base + rva);
    }

    HMODULE image = nullptr;
    const BYTE* base = nullptr;
    const IMAGE_NT_HEADERS* nt = nullptr;  // of this edition's width
};

}  // namespace

TEST(DefFile, ListsTheTableAlphabeticallyWithOrdinalsOneToEighteen)
{
    std::ifstream def(VORNEL_DEF_FILE);
    ASSERT_TRUE(def) << VORNEL_DEF_FILE;
    std::string line;
    while (std::getline(def, line) && line.find("EXPORTS") == std::string::npos) {
    }
    std::vector<std::string> names;
    int expectedOrdinal = 1;
    while (std::getline(def, line)) {
        std::istringstream fields(line);
        std::string name, ordinal, extra;
        if (!(fields >> name))
            continue;
        fields >> ordinal;
        EXPECT_EQ(ordinal, "@" + std::to_string(expectedOrdinal++)) << line;
        EXPECT_FALSE(fields >> extra) << "unexpected in: " << line;
        names.push_back(name);
    }
    EXPECT_EQ(names, TableSorted());
}

TEST_F(VornelImage, IsBuiltForThisEdition)
{
#ifdef _WIN64
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
#else
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
#endif
}

TEST_F(VornelImage, ExportsExactlyTheTableByNameInAlphabeticalOrdinals)
{
    const IMAGE_DATA_DIRECTORY& dir = Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    auto* exports = At<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
    EXPECT_EQ(exports->Base, 1u);
    ASSERT_EQ(exports->NumberOfFunctions, DWORD(SLOT_COUNT));
    ASSERT_EQ(exports->NumberOfNames, DWORD(SLOT_COUNT));
    auto* names = At<DWORD>(exports->AddressOfNames);
    auto* ordinals = At<WORD>(exports->AddressOfNameOrdinals);
    auto* functions = At<DWORD>(exports->AddressOfFunctions);
    const std::vector<std::string> expected = TableSorted();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        EXPECT_EQ(At<char>(names[i]), expected[i]);
        EXPECT_EQ(ordinals[i] + exports->Base, DWORD(i + 1)) << expected[i];
        // A function address inside the export directory would be a forwarder.
        const DWORD rva = functions[ordinals[i]];
        EXPECT_FALSE(rva >= dir.VirtualAddress && rva < dir.VirtualAddress + dir.Size) << expected[i];
    }
}

TEST_F(VornelImage, ImportsOnlyKernel32AndMsvcrt)
{
    std::set<std::string> modules;
    const IMAGE_DATA_DIRECTORY& dir = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(dir.VirtualAddress); entry->Name; ++entry) {
        std::string name = At<char>(entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        modules.insert(name);
    }
    EXPECT_EQ(modules, (std::set<std::string>{"kernel32.dll", "msvcrt.dll"}));
    EXPECT_EQ(Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size, 0u);
}

TEST(VersionResource, NamesTheLibraryAndItsVersion)
{
    const std::wstring path = LibraryPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    const struct {
        const wchar_t* field;
        std::wstring expected;
    } strings[] = {{L"FileVersion", L"1.0.0.1"},
                   {L"ProductVersion", L"1.0.0.1"},
                   {L"InternalName", L"Vornel"},
                   {L"OriginalFilename", L"Vornel.dll"}};
    for (const auto& s : strings) {
        wchar_t* value = nullptr;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + s.field;
        ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::wstring(value), s.expected);
    }
}
