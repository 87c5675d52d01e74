/* The public header means the same on both editions and under any packing
   a host compiles with (built also with one-byte packing, as /Zp1 does):
   every record has one size, alignment and set of field offsets, the same
   numbers for x86 and x64; and __cdecl is the platform's own convention on
   each (x64 compilers ignore it), so a host's plain function pointers match
   the declarations. Compile-time only (C11). */
#include <stddef.h>

#include "vornel.h"

#define EXPECT_LAYOUT(record, size, alignment) \
    _Static_assert(sizeof(record) == size && _Alignof(record) == alignment, #record)
#define EXPECT_OFFSET(record, field, offset) \
    _Static_assert(offsetof(record, field) == offset, #record "." #field)
#define EXPECT_TYPE(expression, type) _Static_assert(_Generic((expression), type: 1, default: 0), #expression)

_Static_assert(sizeof(BT_ADDR) == 8, "BT_ADDR");

EXPECT_LAYOUT(BT_RADIO_INFO, 80, 8);
EXPECT_OFFSET(BT_RADIO_INFO, address, 0);
EXPECT_OFFSET(BT_RADIO_INFO, name, 8);
EXPECT_OFFSET(BT_RADIO_INFO, classOfDevice, 72);
EXPECT_OFFSET(BT_RADIO_INFO, manufacturer, 76);
EXPECT_OFFSET(BT_RADIO_INFO, hciVersion, 78);
EXPECT_OFFSET(BT_RADIO_INFO, discoverable, 79);

EXPECT_LAYOUT(BT_DEVICE_INFO, 80, 8);
EXPECT_OFFSET(BT_DEVICE_INFO, address, 0);
EXPECT_OFFSET(BT_DEVICE_INFO, name, 8);
EXPECT_OFFSET(BT_DEVICE_INFO, classOfDevice, 72);
EXPECT_OFFSET(BT_DEVICE_INFO, paired, 76);

EXPECT_LAYOUT(BT_SERVICE_INFO, 68, 2);
EXPECT_OFFSET(BT_SERVICE_INFO, uuid, 0);
EXPECT_OFFSET(BT_SERVICE_INFO, channel, 2);
EXPECT_OFFSET(BT_SERVICE_INFO, name, 3);

EXPECT_TYPE(&BT_Pair, int (*)(BT_ADDR, const char*));
EXPECT_TYPE(&BT_ListDevicesAsync, int (*)(BT_DEVICE_CALLBACK, void*));
EXPECT_TYPE((BT_DEVICE_CALLBACK)0, void (*)(const BT_DEVICE_INFO*, int, void*));
EXPECT_TYPE((PFN_BT_Pair)0, int (*)(BT_ADDR, const char*));

_Static_assert(VORNEL_VERSION_MAJOR == 1 && VORNEL_VERSION_MINOR == 0 && VORNEL_VERSION_PATCH == 0 &&
                   VORNEL_VERSION_BUILD == 1,
               "the version resource's 1.0.0.1");
