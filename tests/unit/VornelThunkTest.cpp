#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogMgr.h"
#include "RecordingSink.h"
#include "TestFiles.h"
#include "VornelThunk.h"

extern RecordingSink::Journal thunkLog;  // TestGlobals.cpp

namespace {

// Every level reaches this sink, so the TRACE line can be seen too.
RecordingSink::Journal& Recorded()
{
    static bool registered = (theLogMgr.AddLogger(new RecordingSink(thunkLog, "R", LogLevel::TRACE)), true);
    (void)registered;
    return thunkLog;
}

std::string Narrow(const std::wstring& wide)
{
    return std::string(wide.begin(), wide.end());
}

class VornelThunkTest : public testing::Test {
protected:
    void SetUp() override { Recorded().messages.clear(); }
    void TearDown() override { thunk.Unload(); }

    std::wstring Backend(const wchar_t* name) { return ProgramDirectory() + L"\\" + name; }
    int BoundSlots() const
    {
        int bound = 0;
        for (EntryPoint entry : thunk.entryPoints)
            bound += entry != nullptr;
        return bound;
    }

    VornelThunk thunk;
};

using Messages = std::vector<std::string>;

}  // namespace

TEST_F(VornelThunkTest, BindsAllEighteenExports)
{
    const std::wstring path = Backend(L"FakeAccept.dll");
    EXPECT_TRUE(thunk.Load(path.c_str()));
    ASSERT_NE(thunk.module, nullptr);
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        EXPECT_EQ(reinterpret_cast<void*>(thunk.entryPoints[slot]),
                  reinterpret_cast<void*>(GetProcAddress(thunk.module, slotNames[slot])))
            << slotNames[slot];
    EXPECT_EQ(BoundSlots(), SLOT_COUNT);
    EXPECT_EQ(Recorded().messages,
              (Messages{"Loading Dll " + Narrow(path) + "...", "Load Dll " + Narrow(path) + " Succ"}));
}

TEST_F(VornelThunkTest, ReportsEachMissingExportAndBindsTheRest)
{
    const std::wstring path = Backend(L"FakeNoSendFile.dll");
    EXPECT_FALSE(thunk.Load(path.c_str()));
    EXPECT_EQ(thunk.entryPoints[SLOT_BT_OPP_SendFile], nullptr);
    EXPECT_EQ(BoundSlots(), SLOT_COUNT - 1);
    EXPECT_EQ(Recorded().messages,
              (Messages{"Loading Dll " + Narrow(path) + "...", "Load Dll " + Narrow(path) + " Succ",
                        "Binding Func BT_OPP_SendFile Failed, Error = 0000007F"}));
}

TEST_F(VornelThunkTest, ReleasesTheHeldModuleBeforeAFailedLoad)
{
    const std::wstring held = Backend(L"FakeAccept.dll");
    thunk.Load(held.c_str());
    ASSERT_NE(GetModuleHandleW(held.c_str()), nullptr);
    Recorded().messages.clear();

    EXPECT_TRUE(thunk.Load(L"NOSUCH.DLL"));
    EXPECT_EQ(thunk.module, nullptr);
    EXPECT_EQ(GetModuleHandleW(held.c_str()), nullptr);
    EXPECT_EQ(BoundSlots(), 0);
    EXPECT_EQ(Recorded().messages,
              (Messages{"Loading Dll NOSUCH.DLL...", "Load Dll NOSUCH.DLL Failed, Error = 0000007E"}));
}

TEST_F(VornelThunkTest, LogsANameLongerThanAPathWhole)
{
    const std::wstring name = std::wstring(3000, L'n') + L".DLL";
    EXPECT_TRUE(thunk.Load(name.c_str()));
    const std::string narrow = Narrow(name);
    ASSERT_EQ(Recorded().messages.size(), 2u);
    EXPECT_EQ(Recorded().messages[0], "Loading Dll " + narrow + "...");
    EXPECT_EQ(Recorded().messages[1].rfind("Load Dll " + narrow + " Failed, Error = ", 0), 0u)
        << Recorded().messages[1].substr(0, 80);
}
