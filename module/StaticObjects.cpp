#include "LogMgr.h"
#include "VornelThunk.h"

// Defined together so that theLogMgr is constructed first and destroyed
// last: theThunk may still log while it lives, and releases its backend
// before the sinks are deleted.
LogMgr theLogMgr;
VornelThunk theThunk;

#define STRINGIFY(text) #text
#define AS_STRING(text) STRINGIFY(text)
#define LINKER_NAME(name) AS_STRING(__USER_LABEL_PREFIX__) #name

// Names theThunk's module handle and slot array for the export stubs. The
// assembler can equate a symbol only to one defined in the same object, so
// this lives beside theThunk; it emits no instructions that anything runs.
[[gnu::used]] static void PublishThunkFields()
{
    asm(".globl " LINKER_NAME(vornelModule) "\n\t.set " LINKER_NAME(vornelModule) ", %c0\n\t"
        ".globl " LINKER_NAME(vornelSlots) "\n\t.set " LINKER_NAME(vornelSlots) ", %c1"
        :
        : "i"(&theThunk.module), "i"(theThunk.entryPoints));
}
