/*
 * The demo host: walks the whole API once against whichever backend serves
 * it (the simulated one in the demo directory), prints each call with its
 * result, then the lines the library logged during this run. Its exit status
 * is 0 only when every call gave the result expected of the simulated world.
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "vornel.h"

static const char* const resultNames[] = {
    "BT_OK", "BT_ERROR_NO_BACKEND", "BT_ERROR_INVALID_ARGUMENT", "BT_ERROR_NOT_READY",
    "BT_ERROR_NOT_FOUND", "BT_ERROR_NOT_PAIRED", "BT_ERROR_BUSY", "BT_ERROR_NOT_CONNECTED",
    "BT_ERROR_MORE_DATA", "BT_ERROR_CANCELLED", "BT_ERROR_AUTH_FAILED", "BT_ERROR_FILE"};

static int steps;
static int unexpected;

static const char* ResultName(int result)
{
    const int known = sizeof resultNames / sizeof resultNames[0];
    return result >= 0 && result < known ? resultNames[result] : "(not a result code)";
}

/* Prints one call with its result; counts it when it is not the one expected. */
static int Step(const char* call, int result, int expected)
{
    const int ok = result == expected;
    printf("%2d  %-58s = %-2d %-25s %s\n", ++steps, call, result, ResultName(result),
           ok ? "ok" : "UNEXPECTED");
    unexpected += !ok;
    return ok;
}

/* A check of what a call delivered beyond its result. */
static void Expect(int holds, const char* what)
{
    if (!holds) {
        printf("      UNEXPECTED: %s\n", what);
        ++unexpected;
    }
}

static const char* Address(BT_ADDR address, char text[18])
{
    const unsigned char* bytes = (const unsigned char*)&address;
    sprintf(text, "%02X:%02X:%02X:%02X:%02X:%02X", bytes[5], bytes[4], bytes[3], bytes[2],
            bytes[1], bytes[0]);
    return text;
}

static void ShowDevice(const BT_DEVICE_INFO* device)
{
    char text[18];
    printf("      %s  %-14s class %06X%s\n", Address(device->address, text), device->name,
           device->classOfDevice, device->paired ? "  paired" : "");
}

struct Discovery {
    HANDLE finished;
    int found;
    int finalStatus;
};

static void __cdecl OnDevice(const BT_DEVICE_INFO* device, int status, void* context)
{
    struct Discovery* discovery = (struct Discovery*)context;
    if (device) {
        ++discovery->found;
        ShowDevice(device);
        return;
    }
    discovery->finalStatus = status;
    SetEvent(discovery->finished);
}

static long long FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return 0;
    return (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

/* Discovery in the background, left to finish or cancelled at once. */
static void DiscoverInBackground(int cancel)
{
    struct Discovery discovery = {CreateEventW(NULL, TRUE, FALSE, NULL), 0, -1};
    if (!Step("BT_ListDevicesAsync(OnDevice, &discovery)",
              BT_ListDevicesAsync(OnDevice, &discovery), BT_OK))
        return;
    if (cancel)
        Step("BT_CancelListDevicesAsync()", BT_CancelListDevicesAsync(), BT_OK);
    if (WaitForSingleObject(discovery.finished, 10000) == WAIT_OBJECT_0)
        printf("      final callback after %d devices: %s\n", discovery.found,
               ResultName(discovery.finalStatus));
    else
        Expect(0, "the final callback came within 10 s");
    Expect(discovery.finalStatus == (cancel ? BT_ERROR_CANCELLED : BT_OK),
           cancel ? "the discovery ended cancelled" : "the discovery completed");
    Expect(cancel ? discovery.found < 4 : discovery.found == 4, "the number of devices found");
    CloseHandle(discovery.finished);
}

static void WalkTheApi(void)
{
    BT_RADIO_INFO radio;
    BT_DEVICE_INFO devices[8];
    BT_SERVICE_INFO services[4];
    BT_SERVICE_INFO serial;
    char text[18];
    int count = 0;
    int i;

    Step("BT_QueryRadio(&radio), before BT_Init", BT_QueryRadio(&radio), BT_ERROR_NOT_READY);
    Step("BT_Init()", BT_Init(), BT_OK);

    if (Step("BT_QueryRadio(&radio)", BT_QueryRadio(&radio), BT_OK))
        printf("      %s  %s\n", Address(radio.address, text), radio.name);

    Step("BT_ListDevices(devices, 8, &count)", BT_ListDevices(devices, 8, &count), BT_OK);
    for (i = 0; i < count && i < 8; ++i)
        ShowDevice(&devices[i]);
    Expect(count == 4, "four devices in range");
    const BT_ADDR phone = count > 0 ? devices[0].address : 0;

    DiscoverInBackground(0);
    DiscoverInBackground(1);

    if (Step("BT_QueryDevice(phone, &device)", BT_QueryDevice(phone, &devices[0]), BT_OK))
        ShowDevice(&devices[0]);
    Step("BT_ListServices(phone, services, 4, &count)", BT_ListServices(phone, services, 4, &count),
         BT_OK);
    for (i = 0; i < count && i < 4; ++i)
        printf("      %04X channel %-2u %s\n", services[i].uuid, services[i].channel, services[i].name);
    if (Step("BT_QueryService(phone, BT_SERVICE_SPP, &serial)",
             BT_QueryService(phone, BT_SERVICE_SPP, &serial), BT_OK))
        printf("      channel %u\n", serial.channel);

    Step("BT_Pair(phone, \"9999\")", BT_Pair(phone, "9999"), BT_ERROR_AUTH_FAILED);
    Step("BT_Pair(phone, \"0000\")", BT_Pair(phone, "0000"), BT_OK);

    static const char greeting[] = "Hello over SPP";
    char echo[64] = {0};
    int connection = 0;
    int sent = 0;
    int received = 0;
    Step("BT_SPP_Connect(phone, serial.channel, &connection)",
         BT_SPP_Connect(phone, serial.channel, &connection), BT_OK);
    Step("BT_SPP_SendData(connection, \"Hello over SPP\", 14, &sent)",
         BT_SPP_SendData(connection, greeting, 14, &sent), BT_OK);
    Expect(sent == 14, "all 14 bytes sent");
    if (Step("BT_SPP_RecvData(connection, echo, 63, &received)",
             BT_SPP_RecvData(connection, echo, sizeof echo - 1, &received), BT_OK))
        printf("      %d bytes: \"%s\"\n", received, echo);
    Expect(received == 14 && memcmp(echo, greeting, 14) == 0, "the echo is what was sent");
    Step("BT_SPP_Disconnect(connection)", BT_SPP_Disconnect(connection), BT_OK);

    Step("BT_DUN_Dialup(phone, \"*99#\")", BT_DUN_Dialup(phone, "*99#"), BT_OK);
    Step("BT_DUN_Hangup(phone)", BT_DUN_Hangup(phone), BT_OK);

    wchar_t self[MAX_PATH];
    unsigned int bytesSent = 0;
    GetModuleFileNameW(NULL, self, MAX_PATH);
    if (Step("BT_OPP_SendFile(phone, L\"VornelDemo.exe\", &bytesSent)",
             BT_OPP_SendFile(phone, self, &bytesSent), BT_OK))
        printf("      %u bytes sent\n", bytesSent);
    Expect(bytesSent == FileSize(self), "the whole file was sent");

    Step("BT_UnPair(phone)", BT_UnPair(phone), BT_OK);
    Step("BT_Exit()", BT_Exit(), BT_OK);
}

/* Prints the log from where this run began it. */
static void ShowLog(const wchar_t* path, long long from)
{
    char line[512];
    FILE* log = _wfopen(path, L"rb");
    printf("\nThe library's log, this run's lines (%ls):\n", path);
    if (!log) {
        printf("      UNEXPECTED: no log file\n");
        ++unexpected;
        return;
    }
    _fseeki64(log, from, SEEK_SET);
    while (fgets(line, sizeof line, log)) {
        line[strcspn(line, "\r\n")] = '\0';
        printf("  %s\n", line);
    }
    fclose(log);
}

int main(void)
{
    wchar_t logPath[MAX_PATH + 16];
    GetModuleFileNameW(NULL, logPath, MAX_PATH);
    wcscat(logPath, L"-Vornel.log");
    const long long logStart = FileSize(logPath);

    WalkTheApi();
    ShowLog(logPath, logStart);

    if (unexpected) {
        printf("\n%d unexpected results in %d calls.\n", unexpected, steps);
        return 1;
    }
    printf("\nAll %d calls gave the expected result.\n", steps);
    return 0;
}
