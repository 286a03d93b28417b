# What every build of this project shares: the language, the warnings, the Windows branch of the
# TWAIN definitions, GoogleTest (built from Debian's sources on the cross build) and tarsin_add_test.
# Included by the top level and by upgrade/ when it is built on its own.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

add_compile_options(-Wall -Wextra -Werror)
if(WIN32)
    # The TWAIN definitions pick the Windows branch by WIN32; strict ISO modes define only _WIN32.
    add_compile_definitions(WIN32 _WIN32_WINNT=0x0601 UNICODE _UNICODE)
endif()

enable_testing()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest as sources; build them with the cross compiler.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    foreach(lib gtest gtest_main)
        target_compile_options(${lib} PRIVATE -Wno-error)
        target_link_options(${lib} INTERFACE -static)
        if(NOT TARGET GTest::${lib})
            add_library(GTest::${lib} ALIAS ${lib})
        endif()
    endforeach()
else()
    find_package(GTest REQUIRED)
endif()

# One ctest entry per test case natively; under Wine each launch costs seconds, so the cross build
# registers each test binary as a single test.
# Extra arguments are test properties (for example RESOURCE_LOCK).
function(tarsin_add_test target)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${target} COMMAND ${target})
        if(ARGN)
            set_tests_properties(${target} PROPERTIES ${ARGN})
        endif()
    else()
        if(ARGN)
            gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${ARGN})
        else()
            gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
        endif()
    endif()
endfunction()
