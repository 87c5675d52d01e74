# Unpacks the kit (KIT_ZIP) into WORK and builds three hosts against it, as
# host developers would: a MinGW CMake project with TOOLCHAIN, the same
# program with C_COMPILER from nothing but pkg-config's flags, and an
# MSVC-style CMake project with clang-cl for MSVC_TARGET. Puts the kit's
# simulated backend beside each as QUENDA.DLL and runs it under EMULATOR (a
# |-separated list).
if(NOT EXISTS "${KIT_ZIP}")
    message("not run: no kit at ${KIT_ZIP}; make dist packs it")
    return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/kit")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${KIT_ZIP}" WORKING_DIRECTORY "${WORK}/kit"
    COMMAND_ERROR_IS_FATAL ANY)
file(GLOB kit "${WORK}/kit/Vornel-*")

# A built host's run: its output is the test's.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}")
    endif()
endfunction()
# A configure or build step: its output is shown only when it fails.
function(step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}")
    endif()
endfunction()
step(${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}/build" -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
    -DCMAKE_PREFIX_PATH=${kit} -DCMAKE_BUILD_TYPE=Release)
step(${CMAKE_COMMAND} --build "${WORK}/build")
file(COPY_FILE "${kit}/bin/${EDITION}/VornelSim.dll" "${WORK}/build/QUENDA.DLL")
string(REPLACE "|" ";" emulator "${EMULATOR}")
run(${emulator} "${WORK}/build/consumer.exe")

find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${kit}/lib/${EDITION}/pkgconfig")
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs vornel OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${flags}")
set(plain "${WORK}/pkg-config")
file(MAKE_DIRECTORY "${plain}")
step(${C_COMPILER} "${SOURCE}/Consumer.c" ${flags} -static -o "${plain}/consumer.exe")
file(COPY_FILE "${kit}/bin/${EDITION}/Vornel.dll" "${plain}/Vornel.dll")
file(COPY_FILE "${kit}/bin/${EDITION}/VornelSim.dll" "${plain}/QUENDA.DLL")
run(${emulator} "${plain}/consumer.exe")

step(${CMAKE_COMMAND} -S "${SOURCE}/msvc" -B "${WORK}/msvc" -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/msvc/clang-cl.cmake
    -DMSVC_TARGET=${MSVC_TARGET} -DCMAKE_PREFIX_PATH=${kit} -DCMAKE_C_STANDARD_LIBRARIES=
    -DKERNEL32_LIBRARY=${KERNEL32_LIBRARY})
step(${CMAKE_COMMAND} --build "${WORK}/msvc")
file(COPY_FILE "${kit}/bin/${EDITION}/VornelSim.dll" "${WORK}/msvc/QUENDA.DLL")
run(${emulator} "${WORK}/msvc/consumer.exe")
