/* A host as an MSVC project builds one: compiled for the Microsoft ABI,
   linked against Vornel.lib (with /safeseh on x86), with no C runtime and
   no SDK header, only vornel.h and the one system function it needs. Runs
   beside Vornel.dll and the simulated backend; its exit code is a bit per
   failed step, 0 when all went as they should. */
#include "vornel.h"

__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

void __cdecl HostMain(void)
{
    BT_RADIO_INFO radio;
    BT_DEVICE_INFO devices[8];
    int count = 0;
    unsigned failures = 0;
    if (BT_QueryRadio(&radio) != BT_ERROR_NOT_READY)
        failures |= 1;
    if (BT_Init() != BT_OK) {
        failures |= 2;
    } else {
        if (BT_QueryRadio(&radio) != BT_OK || radio.name[0] != 'V')
            failures |= 4;
        /* Records come back laid out as this compiler sees them. */
        if (BT_ListDevices(devices, 8, &count) != BT_OK || count != 4 || devices[3].address != 0x001A7D000004ull)
            failures |= 8;
        /* A 64-bit address argument, then a pointer, in this ABI's own way. */
        if (BT_Pair(devices[0].address, "0000") != BT_OK || BT_Pair(devices[1].address, "0000") != BT_ERROR_AUTH_FAILED)
            failures |= 16;
        if (BT_Exit() != 0)
            failures |= 32;
    }
    ExitProcess(failures);
}
