#include "LogMgr.h"
#include "VornelThunk.h"

// Defined together so that theLogMgr is constructed first and destroyed
// last: theThunk may still log while it lives, and releases its backend
// before the sinks are deleted.
LogMgr theLogMgr;
VornelThunk theThunk;

// Names theThunk's module handle and slot array for the export stubs. The
// assembler can equate a symbol only to one defined in the same object, so
// this lives beside theThunk; it emits no instructions that anything runs.
[[gnu::used]] static void PublishThunkFields()
{
    asm(".globl _vornelModule\n\t.set _vornelModule, %c0\n\t"
        ".globl _vornelSlots\n\t.set _vornelSlots, %c1"
        :
        : "i"(&theThunk.module), "i"(theThunk.entryPoints));
}
