# add_gauge_module(<target> NAME <gauge name> SOURCES ... DEF <file> RC <file>
#                  [LIBS <windows import libraries>] [IMPORTS <dll>:<function>...]
#                  [TEST_ONLY])
#
# A TEST_ONLY module is built for the tests alone: it goes neither to dist/
# nor into the list of the project's modules.
#
# IMPORTS lists every Windows function the module may import; the module
# file test fails on any other.
#
# Builds one gauge module: a 32-bit DLL named "<gauge name>.gau" that links
# no C or C++ runtime, asks for nothing newer than Windows 4.0, uses the x87
# unit only, and exports what its .def file lists. A copy goes to dist/.

set(GAUGE_COMPILE_OPTIONS
    -march=i586 -mtune=generic -mno-mmx -mno-sse -mfpmath=387
    -O2 -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-stack-protector -fno-threadsafe-statics -fno-ident
    -Wall -Wextra -Wno-missing-field-initializers)

set(GAUGE_LINK_OPTIONS
    -nostdlib -shared
    -Wl,--entry,_module_dll_entry@12
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--subsystem,windows:4.0
    -Wl,--no-insert-timestamp
    -s)

set(GAUGE_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)

function(add_gauge_module target)
    cmake_parse_arguments(GAUGE "TEST_ONLY" "NAME;DEF;RC" "SOURCES;LIBS;IMPORTS" ${ARGN})
    add_library(${target} MODULE ${GAUGE_SOURCES} ${GAUGE_RC} ${GAUGE_DEF})
    target_link_libraries(${target} PRIVATE gauge_frame ${GAUGE_LIBS})
    target_compile_options(${target} PRIVATE ${GAUGE_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE ${GAUGE_LINK_OPTIONS})
    set_target_properties(${target} PROPERTIES
        PREFIX "" OUTPUT_NAME "${GAUGE_NAME}" SUFFIX ".gau")
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    set_property(TARGET ${target} PROPERTY GAUGE_NAME "${GAUGE_NAME}")
    set_property(TARGET ${target} PROPERTY GAUGE_IMPORTS "${GAUGE_IMPORTS}")
    if(GAUGE_TEST_ONLY)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory ${GAUGE_DIST_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${GAUGE_DIST_DIR}/)
    set_property(GLOBAL APPEND PROPERTY GAUGE_MODULES ${target})
endfunction()
