/* vornel.h on its own, as any host's first include: built warning-free as
   C99 and as C++, by MinGW's gcc and by clang for the Microsoft ABI. */
#include "vornel.h"

PFN_BT_Init initFunction = 0;

const char* NameOfNoBackend(void)
{
    return BT_ResultName(BT_ERROR_NO_BACKEND);
}
