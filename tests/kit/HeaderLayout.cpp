// The public header means the same on both editions: every record has one
// size and one set of field offsets, the same numbers for x86 and x64, and
// __cdecl is the platform's own convention on each (x64 ignores it), so a
// host's plain function pointers match the declarations. Compile-time only.
#include <cstddef>
#include <type_traits>

#include "vornel.h"

#define EXPECT_LAYOUT(record, size, alignment) \
    static_assert(sizeof(record) == size && alignof(record) == alignment, #record)
#define EXPECT_OFFSET(record, field, offset) \
    static_assert(offsetof(record, field) == offset, #record "." #field)

static_assert(sizeof(BT_ADDR) == 8);

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

static_assert(std::is_same_v<decltype(&BT_Pair), int (*)(BT_ADDR, const char*)>);
static_assert(std::is_same_v<decltype(&BT_ListDevicesAsync), int (*)(BT_DEVICE_CALLBACK, void*)>);
static_assert(std::is_same_v<BT_DEVICE_CALLBACK, void (*)(const BT_DEVICE_INFO*, int, void*)>);
