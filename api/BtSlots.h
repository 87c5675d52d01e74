#pragma once

// Index of each exported function's entry-point slot.
enum BtSlot : int {
#define VORNEL_FUNCTION(name) SLOT_##name,
#include "BtFunctions.h"
#undef VORNEL_FUNCTION
    SLOT_COUNT
};

// Export names by slot, as GetProcAddress wants them.
inline constexpr const char* slotNames[SLOT_COUNT] = {
#define VORNEL_FUNCTION(name) #name,
#include "BtFunctions.h"
#undef VORNEL_FUNCTION
};
