# The stand-in dsound.dll and the test programs that run on it. Windows
# finds a module's DLLs beside the program that loads it, so these programs
# and the stand-in share one folder, and Wine is told to take the DLL found
# there rather than its own.
set(STAND_IN_DIR ${CMAKE_BINARY_DIR}/tests/stand-in)
set(SOUND_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
include_guard(GLOBAL)

add_library(stand_in_dsound SHARED
    ${SOUND_TEST_DIR}/stand_in_dsound/stand_in_dsound.cpp
    ${SOUND_TEST_DIR}/stand_in_dsound/stand_in_dsound.def)
set_target_properties(stand_in_dsound PROPERTIES
    PREFIX "" OUTPUT_NAME dsound RUNTIME_OUTPUT_DIRECTORY ${STAND_IN_DIR})
target_compile_options(stand_in_dsound PRIVATE -Wall -Wextra)
target_link_options(stand_in_dsound PRIVATE -static)

# add_stand_in_test(<name> SOURCES ... [MODULES ...] [LIBS ...])
function(add_stand_in_test name)
    add_gauge_test(${name} ${ARGN})
    add_dependencies(${name} stand_in_dsound)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/sound)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/stand-in)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "WINEDLLOVERRIDES=dsound=n")
endfunction()
