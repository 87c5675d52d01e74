# clang-cl and lld-link for the Microsoft ABI, without an SDK. The consumer
# needs no C runtime, so CMake is told what it would otherwise find out by
# linking a test program against one: that the compiler works, and the
# pointer size. MSVC_TARGET: i686-pc-windows-msvc or x86_64-pc-windows-msvc.
set(CMAKE_SYSTEM_NAME Windows)
if(MSVC_TARGET MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
    set(CMAKE_C_SIZEOF_DATA_PTR 8)
else()
    set(CMAKE_SYSTEM_PROCESSOR X86)
    set(CMAKE_C_SIZEOF_DATA_PTR 4)
endif()
find_program(CMAKE_C_COMPILER NAMES clang-cl clang-cl-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
find_program(CMAKE_LINKER NAMES lld-link REQUIRED)
find_program(CMAKE_MT NAMES llvm-mt REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${MSVC_TARGET})
set(CMAKE_C_COMPILER_WORKS TRUE)
set(CMAKE_C_ABI_COMPILED TRUE)
