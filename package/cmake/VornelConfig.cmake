# Vornel's CMake package: find_package(Vornel 1.0 CONFIG) gives the imported
# target Vornel::Vornel, the edition of the consumer's architecture (x86 or
# x64) and the import library of its toolchain (Vornel.lib for MSVC and
# clang-cl, libVornel.dll.a for MinGW). The DLL is the target's location:
#   vornel_copy_dll(app)   copies Vornel.dll beside app after each build;
# or, for every imported DLL at once (CMake 3.21 and later):
#   add_custom_command(TARGET app POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy
#       $<TARGET_RUNTIME_DLLS:app> $<TARGET_FILE_DIR:app> COMMAND_EXPAND_LISTS)
# Vornel.dll still needs a backend where the DLL search finds it.
cmake_minimum_required(VERSION 3.14)

get_filename_component(_vornel_kit "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_vornel_edition x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_vornel_edition x86)
else()
    set(Vornel_FOUND FALSE)
    set(Vornel_NOT_FOUND_MESSAGE "Vornel needs a language enabled first, to know the consumer's architecture")
    return()
endif()
if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
    set(_vornel_import_library "${_vornel_kit}/lib/${_vornel_edition}/Vornel.lib")
else()
    set(_vornel_import_library "${_vornel_kit}/lib/${_vornel_edition}/libVornel.dll.a")
endif()

if(NOT TARGET Vornel::Vornel)
    add_library(Vornel::Vornel SHARED IMPORTED)
    set_target_properties(Vornel::Vornel PROPERTIES
        IMPORTED_LOCATION "${_vornel_kit}/bin/${_vornel_edition}/Vornel.dll"
        IMPORTED_IMPLIB "${_vornel_import_library}"
        INTERFACE_INCLUDE_DIRECTORIES "${_vornel_kit}/include")
endif()
set(Vornel_EDITION ${_vornel_edition})

function(vornel_copy_dll target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Vornel::Vornel> $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()
