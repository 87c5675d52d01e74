#include "DllThunk.h"

void DllThunk::Unload()
{
    if (module) {
        FreeLibrary(module);
        module = nullptr;
    }
}
