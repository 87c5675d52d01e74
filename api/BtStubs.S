// Export stubs. Each forwarder tests the held module and its own slot, then
// jumps: the backend runs on the host's own argument frame and returns
// straight to the host. Caller-cleans convention (and x64's one convention),
// so answering without the backend needs no knowledge of the arguments.
// vornelModule and vornelSlots name theThunk's fields (see module/);
// vornelInitCount is the library's count of users (see BtApi.cpp).
// Every stub is a leaf that never touches the stack, so x64 needs no unwind
// data for it.

#define GLUE(prefix, name) prefix##name
#define PREFIXED(prefix, name) GLUE(prefix, name)
#define SYMBOL(name) PREFIXED(__USER_LABEL_PREFIX__, name)  // C's name as the linker sees it

    .intel_syntax noprefix
    .text

#if defined(__x86_64__)

    .set  slotSize, 8
.macro EXPORT name
    .globl \name
    .p2align 4
\name:
.endm
// On the forwarding path only rax moves: rcx, rdx, r8, r9, xmm0-xmm3, rsp
// and the stack reach the backend as the host left them.
#define MODULE_HELD  cmp qword ptr [rip + SYMBOL(vornelModule)], 0
#define LOAD_SLOT(offset) mov rax, qword ptr [rip + SYMBOL(vornelSlots) + offset]
#define SLOT_REG     rax
#define COUNT_DOWN   mov eax, -1 ; lock xadd dword ptr [rip + SYMBOL(vornelInitCount)], eax

#else

    .set  slotSize, 4
.macro EXPORT name
    .globl _\name
    .p2align 4
_\name:
.endm
#define MODULE_HELD  cmp dword ptr [SYMBOL(vornelModule)], 0
#define LOAD_SLOT(offset) mov ecx, dword ptr [SYMBOL(vornelSlots) + offset]
#define SLOT_REG     ecx
#define COUNT_DOWN   mov eax, -1 ; lock xadd dword ptr [SYMBOL(vornelInitCount)], eax

#endif

// Tail-jumps to slot `offset`; answers 3 at label 9 when its export is not bound.
.macro TAIL_JUMP offset
    LOAD_SLOT(\offset)                              // the backend's entry point
    test  SLOT_REG, SLOT_REG                        // bound at load?
    jz    9f
    jmp   SLOT_REG                                  // tail jump, frame untouched
9:  mov   eax, 3                                    // no backend, or export missing
    ret
.endm

.macro FORWARDER name, offset
    EXPORT \name
    MODULE_HELD                                     // a backend module held?
    je    9f                                        // no: answer 3 below
    TAIL_JUMP \offset
.endm

.macro EXIT_STUB name, offset
    EXPORT \name
    COUNT_DOWN                                      // eax = users before, interlocked
    dec   eax                                       // eax = users left
    jnz   7f                                        // others remain, or unbalanced: answer the count
    MODULE_HELD                                     // the last user left; backend held?
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
    .set  slotOffset, slotOffset + slotSize
.endm

    .set  slotOffset, 0
#define VORNEL_FUNCTION(name) STUB name
#include "BtFunctions.h"
