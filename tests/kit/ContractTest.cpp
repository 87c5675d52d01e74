// A host as a host developer builds one: compiled against the public header,
// linked with the import library, run beside Vornel.dll and the simulated
// backend (as QUENDA.DLL). Each function's main path, and one bad input each.
#include <cstring>
#include <type_traits>
#include <vector>

#include "BtSlots.h"
#include "TestFiles.h"
#include "vornel.h"

// The public header declares every function of the library's table, and its
// pointer type for hosts that find it with GetProcAddress.
#define VORNEL_FUNCTION(name) static_assert(std::is_same_v<PFN_##name, decltype(&name)>);
#include "BtFunctions.h"
#undef VORNEL_FUNCTION

namespace {

// The simulated world, as its README describes it.
constexpr BT_ADDR phone = 0x001A7D000001ull;    // SPP 1, DUN 2, OPP 3; PIN 0000
constexpr BT_ADDR laptop = 0x001A7D000002ull;   // SPP 4, OPP 5; PIN 1234
constexpr BT_ADDR gps = 0x001A7D000003ull;      // SPP 1
constexpr BT_ADDR printer = 0x001A7D000004ull;  // OPP 1
constexpr BT_ADDR absent = 0x001A7D0000FFull;
constexpr BT_ADDR malformed = 1ull << 48;

class Contract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(BT_Init(), BT_OK); }
    void TearDown() override { EXPECT_EQ(BT_Exit(), BT_OK); }
};

TEST_F(Contract, TheBackendExportsEveryFunctionOfTheTable)
{
    HMODULE backend = GetModuleHandleW(L"QUENDA.DLL");
    ASSERT_NE(backend, nullptr);
    for (const char* name : slotNames)
        EXPECT_NE(GetProcAddress(backend, name), nullptr) << name;
}

TEST_F(Contract, RadioAndDevices)
{
    BT_RADIO_INFO radio;
    ASSERT_EQ(BT_QueryRadio(&radio), BT_OK);
    EXPECT_STREQ(radio.name, "Vornel Simulated Radio");

    BT_DEVICE_INFO devices[8];
    int count = 0;
    ASSERT_EQ(BT_ListDevices(devices, 8, &count), BT_OK);
    ASSERT_EQ(count, 4);
    EXPECT_EQ(devices[0].address, phone);
    EXPECT_EQ(devices[3].address, printer);

    BT_DEVICE_INFO device;
    ASSERT_EQ(BT_QueryDevice(gps, &device), BT_OK);
    EXPECT_STREQ(device.name, "Tamsin GPS");
    EXPECT_EQ(device.paired, 0);
}

TEST_F(Contract, AShortArrayIsFilledAndTheCountSaysHowManyThereAre)
{
    BT_DEVICE_INFO devices[3];
    memset(devices, 0x55, sizeof devices);
    int count = 0;
    ASSERT_EQ(BT_ListDevices(devices, 2, &count), BT_ERROR_MORE_DATA);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(devices[1].address, laptop);
    EXPECT_EQ(devices[2].address, 0x5555555555555555ull) << "written past the capacity";

    EXPECT_EQ(BT_ListServices(phone, nullptr, 0, &count), BT_ERROR_MORE_DATA);
    EXPECT_EQ(count, 3);
}

TEST_F(Contract, Services)
{
    BT_SERVICE_INFO services[4];
    int count = 0;
    ASSERT_EQ(BT_ListServices(laptop, services, 4, &count), BT_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(services[0].uuid, BT_SERVICE_SPP);
    EXPECT_EQ(services[1].channel, 5);

    BT_SERVICE_INFO service;
    ASSERT_EQ(BT_QueryService(phone, BT_SERVICE_DUN, &service), BT_OK);
    EXPECT_EQ(service.channel, 2);
    EXPECT_EQ(BT_QueryService(gps, BT_SERVICE_OPP, &service), BT_ERROR_NOT_FOUND);
}

TEST_F(Contract, Pairing)
{
    BT_DEVICE_INFO device;
    EXPECT_EQ(BT_Pair(laptop, "0000"), BT_ERROR_AUTH_FAILED);
    ASSERT_EQ(BT_Pair(laptop, "1234"), BT_OK);
    ASSERT_EQ(BT_QueryDevice(laptop, &device), BT_OK);
    EXPECT_EQ(device.paired, 1);
    EXPECT_EQ(BT_Pair(laptop, "1234"), BT_OK) << "pairing again";
    EXPECT_EQ(BT_UnPair(laptop), BT_OK);
    EXPECT_EQ(BT_UnPair(laptop), BT_ERROR_NOT_PAIRED);
}

// What one asynchronous discovery delivered, complete once finished is set.
struct Discovery {
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<BT_ADDR> found;
    int finalStatus = -1;
    bool cancelFromCallback = false;
    int cancelResult = -1;
    Discovery* startFromFinalCallback = nullptr;
    int startResult = -1;

    ~Discovery() { CloseHandle(finished); }

    static void __cdecl OnDevice(const BT_DEVICE_INFO* device, int status, void* context)
    {
        auto* self = static_cast<Discovery*>(context);
        if (device) {
            self->found.push_back(device->address);
            if (self->cancelFromCallback)
                self->cancelResult = BT_CancelListDevicesAsync();
            return;
        }
        self->finalStatus = status;
        if (Discovery* next = self->startFromFinalCallback)
            self->startResult = next->Start();
        SetEvent(self->finished);
    }
    int Start() { return BT_ListDevicesAsync(OnDevice, this); }
    bool Finished() const { return WaitForSingleObject(finished, 0) == WAIT_OBJECT_0; }
    bool Finishes() const { return WaitForSingleObject(finished, 10000) == WAIT_OBJECT_0; }
};

TEST_F(Contract, DiscoveryDeliversEveryDeviceThenCompletes)
{
    Discovery discovery;
    ASSERT_EQ(discovery.Start(), BT_OK);
    EXPECT_EQ(discovery.Start(), BT_ERROR_BUSY);
    ASSERT_TRUE(discovery.Finishes());
    EXPECT_EQ(discovery.found, (std::vector<BT_ADDR>{phone, laptop, gps, printer}));
    EXPECT_EQ(discovery.finalStatus, BT_OK);
}

TEST_F(Contract, CancelReturnsAfterTheFinalCallback)
{
    Discovery discovery;
    ASSERT_EQ(discovery.Start(), BT_OK);
    ASSERT_EQ(BT_CancelListDevicesAsync(), BT_OK);
    EXPECT_TRUE(discovery.Finished()) << "the final callback has returned";
    EXPECT_EQ(discovery.finalStatus, BT_ERROR_CANCELLED);
    EXPECT_LT(discovery.found.size(), 4u);
    EXPECT_EQ(BT_CancelListDevicesAsync(), BT_ERROR_NOT_FOUND);

    Discovery again;
    ASSERT_EQ(again.Start(), BT_OK) << "a new one may start";
    ASSERT_TRUE(again.Finishes());
}

TEST_F(Contract, CancelFromTheCallbackAnswersBusyInsteadOfWaitingForItself)
{
    Discovery discovery;
    discovery.cancelFromCallback = true;
    ASSERT_EQ(discovery.Start(), BT_OK);
    ASSERT_TRUE(discovery.Finishes());
    EXPECT_EQ(discovery.cancelResult, BT_ERROR_BUSY);
    EXPECT_EQ(discovery.finalStatus, BT_OK);
}

TEST_F(Contract, ANewDiscoveryCanStartFromTheFinalCallback)
{
    Discovery first;
    Discovery second;
    first.startFromFinalCallback = &second;
    ASSERT_EQ(first.Start(), BT_OK);
    ASSERT_TRUE(first.Finishes());
    EXPECT_EQ(first.startResult, BT_OK);
    ASSERT_TRUE(second.Finishes());
    EXPECT_EQ(second.found.size(), 4u);
}

TEST_F(Contract, ExitEndsARunningDiscoveryBeforeItReturns)
{
    Discovery discovery;
    ASSERT_EQ(discovery.Start(), BT_OK);
    ASSERT_EQ(BT_Exit(), BT_OK);
    EXPECT_TRUE(discovery.Finished()) << "the final callback has returned";
    EXPECT_EQ(discovery.finalStatus, BT_ERROR_CANCELLED);
    ASSERT_EQ(BT_Init(), BT_OK);  // for the fixture's own BT_Exit
}

TEST_F(Contract, SerialConnectionEchoesWhatIsSent)
{
    int connection = 0;
    EXPECT_EQ(BT_SPP_Connect(phone, 1, &connection), BT_ERROR_NOT_PAIRED);
    ASSERT_EQ(BT_Pair(phone, "0000"), BT_OK);
    EXPECT_EQ(BT_SPP_Connect(phone, 2, &connection), BT_ERROR_NOT_FOUND) << "channel 2 is DUN";
    ASSERT_EQ(BT_SPP_Connect(phone, 1, &connection), BT_OK);

    int sent = 0;
    int received = 0;
    char echo[16] = {};
    ASSERT_EQ(BT_SPP_SendData(connection, "ping", 4, &sent), BT_OK);
    EXPECT_EQ(sent, 4);
    ASSERT_EQ(BT_SPP_RecvData(connection, echo, 3, &received), BT_OK);
    EXPECT_EQ(std::string(echo, received), "pin");
    ASSERT_EQ(BT_SPP_RecvData(connection, echo, sizeof echo, &received), BT_OK);
    EXPECT_EQ(std::string(echo, received), "g");
    ASSERT_EQ(BT_SPP_RecvData(connection, echo, sizeof echo, &received), BT_OK);
    EXPECT_EQ(received, 0) << "nothing pending";

    std::vector<char> flood(5000, 'x');
    ASSERT_EQ(BT_SPP_SendData(connection, flood.data(), 5000, &sent), BT_OK);
    EXPECT_EQ(sent, 4096) << "takes what fits";

    ASSERT_EQ(BT_SPP_Disconnect(connection), BT_OK);
    EXPECT_EQ(BT_SPP_SendData(connection, "ping", 4, &sent), BT_ERROR_NOT_FOUND);
    int next = 0;
    ASSERT_EQ(BT_SPP_Connect(phone, 1, &next), BT_OK);
    EXPECT_NE(next, connection) << "handles are not reused";
}

TEST_F(Contract, DialUpOneLinkAtATime)
{
    EXPECT_EQ(BT_DUN_Dialup(phone, "*99#"), BT_ERROR_NOT_PAIRED);
    ASSERT_EQ(BT_Pair(phone, "0000"), BT_OK);
    ASSERT_EQ(BT_Pair(laptop, "1234"), BT_OK);
    EXPECT_EQ(BT_DUN_Dialup(laptop, "*99#"), BT_ERROR_NOT_FOUND) << "no DUN service";
    ASSERT_EQ(BT_DUN_Dialup(phone, "*99#"), BT_OK);
    EXPECT_EQ(BT_DUN_Dialup(phone, "+4930123"), BT_ERROR_BUSY);
    EXPECT_EQ(BT_DUN_Hangup(laptop), BT_ERROR_NOT_CONNECTED);
    EXPECT_EQ(BT_DUN_Hangup(phone), BT_OK);
    EXPECT_EQ(BT_DUN_Hangup(phone), BT_ERROR_NOT_CONNECTED);
}

TEST_F(Contract, ObjectPushSendsTheWholeFile)
{
    const std::string directory = FreshDirectory("ObjectPush");
    const std::wstring file = Widen(directory + "\\card.vcf");
    WriteWhole(file, std::string(70000, 'v'));  // more than one read

    unsigned int bytesSent = 0;
    ASSERT_EQ(BT_OPP_SendFile(printer, file.c_str(), &bytesSent), BT_OK);
    EXPECT_EQ(bytesSent, 70000u);
    EXPECT_EQ(BT_OPP_SendFile(gps, file.c_str(), &bytesSent), BT_ERROR_NOT_FOUND);
    const std::wstring missing = Widen(directory + "\\missing.vcf");
    EXPECT_EQ(BT_OPP_SendFile(printer, missing.c_str(), &bytesSent), BT_ERROR_FILE);
}

TEST_F(Contract, TheBackendStaysLoadedAndAnswersNotReadyAfterItsExit)
{
    ASSERT_EQ(BT_Exit(), BT_OK);
    BT_RADIO_INFO radio;
    EXPECT_NE(GetModuleHandleW(L"QUENDA.DLL"), nullptr);
    EXPECT_EQ(BT_QueryRadio(&radio), BT_ERROR_NOT_READY);
    ASSERT_EQ(BT_Init(), BT_OK);  // for the fixture's own BT_Exit
}

// One bad input for each function that takes any.
BT_DEVICE_INFO someDevice;
BT_SERVICE_INFO someService;
char someBytes[8];
int someCount;
unsigned int someSize;

struct BadInput {
    const char* call;
    int (*run)();
    int expected;
};

const BadInput badInputs[] = {
    {"BT_Pair(phone, NULL)", [] { return BT_Pair(phone, nullptr); }, BT_ERROR_INVALID_ARGUMENT},
    {"BT_Pair(phone, 17 digits)", [] { return BT_Pair(phone, "00000000000000000"); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_UnPair(malformed)", [] { return BT_UnPair(malformed); }, BT_ERROR_INVALID_ARGUMENT},
    {"BT_QueryRadio(NULL)", [] { return BT_QueryRadio(nullptr); }, BT_ERROR_INVALID_ARGUMENT},
    {"BT_ListDevices(NULL, 1, &count)", [] { return BT_ListDevices(nullptr, 1, &someCount); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_ListDevicesAsync(NULL, NULL)", [] { return BT_ListDevicesAsync(nullptr, nullptr); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_CancelListDevicesAsync(), none running", [] { return BT_CancelListDevicesAsync(); },
     BT_ERROR_NOT_FOUND},
    {"BT_QueryDevice(absent, &device)", [] { return BT_QueryDevice(absent, &someDevice); },
     BT_ERROR_NOT_FOUND},
    {"BT_ListServices(phone, services, -1, &count)",
     [] { return BT_ListServices(phone, &someService, -1, &someCount); }, BT_ERROR_INVALID_ARGUMENT},
    {"BT_QueryService(phone, 0x1234, &service)",
     [] { return BT_QueryService(phone, 0x1234, &someService); }, BT_ERROR_NOT_FOUND},
    {"BT_SPP_Connect(phone, 31, &connection)", [] { return BT_SPP_Connect(phone, 31, &someCount); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_SPP_SendData(1, NULL, 5, &sent)", [] { return BT_SPP_SendData(1, nullptr, 5, &someCount); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_SPP_RecvData(never opened, ...)",
     [] { return BT_SPP_RecvData(12345, someBytes, 8, &someCount); }, BT_ERROR_NOT_FOUND},
    {"BT_SPP_Disconnect(0)", [] { return BT_SPP_Disconnect(0); }, BT_ERROR_NOT_FOUND},
    {"BT_DUN_Dialup(phone, \"12ab\")", [] { return BT_DUN_Dialup(phone, "12ab"); },
     BT_ERROR_INVALID_ARGUMENT},
    {"BT_DUN_Hangup(malformed)", [] { return BT_DUN_Hangup(malformed); }, BT_ERROR_INVALID_ARGUMENT},
    {"BT_OPP_SendFile(phone, NULL, &size)", [] { return BT_OPP_SendFile(phone, nullptr, &someSize); },
     BT_ERROR_INVALID_ARGUMENT},
};

TEST_F(Contract, BadInputGetsAnErrorCodeAndChangesNothing)
{
    for (const BadInput& bad : badInputs)
        EXPECT_EQ(bad.run(), bad.expected) << bad.call;

    BT_DEVICE_INFO devices[4];
    int count = 0;
    ASSERT_EQ(BT_ListDevices(devices, 4, &count), BT_OK);
    for (const BT_DEVICE_INFO& device : devices)
        EXPECT_EQ(device.paired, 0) << device.name;
}

}  // namespace
