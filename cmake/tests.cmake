# GoogleTest is built from Debian's sources for each toolchain.
enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# korvane_add_test_program(NAME SOURCES ... LIBS ...): a test program, not yet run by ctest.
function(korvane_add_test_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    # Tests stand above every layer: they may reach any folder (and tests/support).
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KORVANE_WARNINGS})
endfunction()

# korvane_add_test(NAME target SOURCES ... LIBS ...): one test program, its cases registered with ctest.
function(korvane_add_test name)
    korvane_add_test_program(${name} ${ARGN})
    # One ctest entry per program: under Wine a process per case would cost more than the cases.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# korvane_add_wine_run(TEST TARGET [CP932] [PREFIX dir] [FIXTURES_REQUIRED ...]): ctest entry TEST
# runs the Win32 test program TARGET through tools/wine-exec, in the Wine prefix PREFIX (the
# build's own by default); CP932 gives it the Japanese locale (ANSI code page 932).
function(korvane_add_wine_run test target)
    cmake_parse_arguments(ARG "CP932" "PREFIX" "FIXTURES_REQUIRED" ${ARGN})
    if(NOT ARG_PREFIX)
        set(ARG_PREFIX ${CMAKE_BINARY_DIR}/wine)
    endif()
    set(locale)
    if(ARG_CP932)
        set(locale --cp932)
    endif()
    add_test(NAME ${test}
        COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-exec --prefix ${ARG_PREFIX} ${locale}
                $<TARGET_FILE:${target}> --gtest_brief=1)
    set_tests_properties(${test} PROPERTIES TIMEOUT 600)
    if(ARG_FIXTURES_REQUIRED)
        set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES_REQUIRED}")
    endif()
endfunction()

# korvane_add_cp932_run(TARGET [PREFIX dir] [FIXTURES_REQUIRED ...]): runs the Win32 test
# program TARGET (again) with the Japanese locale, as ctest entry TARGET_cp932.
function(korvane_add_cp932_run target)
    korvane_add_wine_run(${target}_cp932 ${target} CP932 ${ARGN})
endfunction()

# korvane_add_end_to_end_test(NAME SOURCES ... [LIBS ...]): a Win32 test program that
# drives Korvane.fmx through the host emulator. It is built beside the module.
function(korvane_add_end_to_end_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    korvane_add_test(${name} SOURCES ${ARG_SOURCES} LIBS korvane_host ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    add_dependencies(${name} Korvane)
endfunction()
