# Test programs run under Wine through CTest. Where the processor can run
# 32-bit code, Wine runs here with one prefix per build folder; where it
# cannot, every test program runs in a 32-bit test machine under
# qemu-system-i386 (tools/winevm), started once per test run. Either way a
# setup fixture prepares Wine before the first test needs it.
find_program(WINE_PROGRAM wine REQUIRED)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_HOME ${CMAKE_BINARY_DIR}/test-home)
set(WINE_VM_STATE ${CMAKE_BINARY_DIR}/winevm)
set(WINE_VM_TOOLS ${PROJECT_SOURCE_DIR}/tools/winevm)
file(MAKE_DIRECTORY ${WINE_HOME})

# A 32-bit program that runs only through qemu's user-mode emulator (as
# while the test machine's image is being built) does not count.
execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE wine32_status
                OUTPUT_QUIET ERROR_QUIET)
if(wine32_status EQUAL 0 AND NOT EXISTS /proc/sys/fs/binfmt_misc/opg-i386
   AND NOT EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
    set(WINE_MODE native)
else()
    set(WINE_MODE vm)
    message(STATUS "This processor cannot run 32-bit code: tests run in the 32-bit test machine")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

enable_testing()
if(WINE_MODE STREQUAL native)
    add_test(NAME wine.start COMMAND ${CMAKE_BINARY_DIR}/wine-run wineboot --init)
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
else()
    add_test(NAME wine.start
             COMMAND ${WINE_VM_TOOLS}/start ${WINE_VM_STATE} ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    add_test(NAME wine.stop COMMAND ${WINE_VM_TOOLS}/stop ${WINE_VM_STATE})
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 3600)
    set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# add_wine_test(<name> <target> [args...]): one CTest entry for a test program.
function(add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900)
endfunction()
