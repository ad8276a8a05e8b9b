# Test executables run under Wine through CTest. One prefix per build tree;
# the "wine.prefix" fixture creates it once, before any test needs it.
find_program(WINE_PROGRAM wine REQUIRED)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_HOME ${CMAKE_BINARY_DIR}/test-home)
file(MAKE_DIRECTORY ${WINE_HOME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

enable_testing()
add_test(NAME wine.prefix COMMAND ${CMAKE_BINARY_DIR}/wine-run wineboot --init)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)

# add_wine_test(<name> <target> [args...]): one CTest entry for a test program.
function(add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600)
endfunction()
