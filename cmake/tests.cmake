# GoogleTest is built from Debian's sources for each toolchain.
enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# korvane_add_test(NAME target SOURCES ... LIBS ...): one test program, its cases registered with ctest.
function(korvane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_options(${name} PRIVATE ${KORVANE_WARNINGS})
    # One ctest entry per program: under Wine a process per case would cost more than the cases.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# korvane_add_end_to_end_test(NAME SOURCES ... [LIBS ...]): a Win32 test program that
# drives Korvane.fmx through the host emulator. It is built beside the module.
function(korvane_add_end_to_end_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    korvane_add_test(${name} SOURCES ${ARG_SOURCES} LIBS korvane_host ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    add_dependencies(${name} Korvane)
endfunction()
