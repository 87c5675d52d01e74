// Export stubs. Each forwarder tests the held module and its own slot, then
// jumps: the backend runs on the host's own argument frame and returns
// straight to the host. Caller-cleans convention, so answering without the
// backend needs no knowledge of the arguments.
// _vornelModule and _vornelSlots name theThunk's fields; see module/.

    .intel_syntax noprefix
    .text

// Tail-jumps to slot `offset`; answers 3 at label 9 when its export is not bound.
.macro TAIL_JUMP offset
    mov   ecx, dword ptr [_vornelSlots + \offset]   // the backend's entry point
    test  ecx, ecx                                  // bound at load?
    jz    9f
    jmp   ecx                                       // tail jump, frame untouched
9:  mov   eax, 3                                    // no backend, or export missing
    ret
.endm

.macro FORWARDER name, offset
    .globl _\name
    .p2align 4
_\name:
    cmp   dword ptr [_vornelModule], 0              // a backend module held?
    je    9f                                        // no: answer 3 below
    TAIL_JUMP \offset
.endm

.macro EXIT_STUB name, offset
    .globl _\name
    .p2align 4
_\name:
    call  _vornelCountDown                          // eax = users left
    test  eax, eax
    jnz   7f                                        // others remain, or unbalanced: answer the count
    cmp   dword ptr [_vornelModule], 0              // the last user left; backend held?
    je    7f                                        // no: answer 0
    TAIL_JUMP \offset
7:  ret
.endm

// BT_Init is C++ (it probes); BT_Exit counts down first; the rest forward.
.macro STUB name
    .ifc \name, BT_Init
    .else
    .ifc \name, BT_Exit
    EXIT_STUB \name, slotOffset
    .else
    FORWARDER \name, slotOffset
    .endif
    .endif
    .set  slotOffset, slotOffset + 4
.endm

    .set  slotOffset, 0
#define VORNEL_FUNCTION(name) STUB name
#include "BtFunctions.h"
