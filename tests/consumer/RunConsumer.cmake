# Unpacks the kit (KIT_ZIP) into WORK, configures and builds the consumer
# project against it with TOOLCHAIN, puts the kit's simulated backend beside
# the program as QUENDA.DLL and runs it under EMULATOR (a |-separated list).
if(NOT EXISTS "${KIT_ZIP}")
    message("not run: no kit at ${KIT_ZIP}; make dist packs it")
    return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/kit")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf "${KIT_ZIP}" WORKING_DIRECTORY "${WORK}/kit"
    COMMAND_ERROR_IS_FATAL ANY)
file(GLOB kit "${WORK}/kit/Vornel-*")

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}")
    endif()
endfunction()
run(${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}/build" -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
    -DCMAKE_PREFIX_PATH=${kit} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build "${WORK}/build")
file(COPY_FILE "${kit}/bin/${EDITION}/VornelSim.dll" "${WORK}/build/QUENDA.DLL")
string(REPLACE "|" ";" emulator "${EMULATOR}")
run(${emulator} "${WORK}/build/consumer.exe")
