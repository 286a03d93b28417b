# Tests of the upgrade program. The action tests need no Qt, so the cross build runs them too.

set(OBUPGRADE_TESTS ${CMAKE_CURRENT_LIST_DIR})

# Stand-in for packages and for the scanning application.
add_executable(upgrade_fake_program ${OBUPGRADE_TESTS}/support/FakeProgram.cpp)
if(CMAKE_CROSSCOMPILING)
    target_link_options(upgrade_fake_program PRIVATE -static)
endif()

add_library(upgrade_test_support STATIC
    ${OBUPGRADE_TESTS}/support/TestSupport.cpp
    ${OBUPGRADE_TESTS}/support/TestSupport_${OBUPGRADE_OS}.cpp)
target_include_directories(upgrade_test_support PUBLIC ${OBUPGRADE_TESTS})
target_compile_definitions(upgrade_test_support PRIVATE
    UPGRADE_FAKE_PROGRAM="$<TARGET_FILE:upgrade_fake_program>")
add_dependencies(upgrade_test_support upgrade_fake_program)
if(WIN32)
    target_link_libraries(upgrade_test_support PUBLIC advapi32)
endif()

add_executable(upgrade_tests
    ${OBUPGRADE_TESTS}/CommandLineTest.cpp
    ${OBUPGRADE_TESTS}/ActionsTest.cpp
    ${OBUPGRADE_TESTS}/OBVersionTest.cpp
    ${OBUPGRADE_TESTS}/OBBaseTest.cpp)
if(NOT WIN32)
    target_sources(upgrade_tests PRIVATE ${OBUPGRADE_TESTS}/posix/RegistryStandInTest.cpp)
endif()
target_link_libraries(upgrade_tests PRIVATE obupgrade_actions OBBase upgrade_test_support GTest::gtest
    GTest::gtest_main)
tarsin_add_test(upgrade_tests)

if(OBUPGRADE_WITH_QT)
    include(${OBUPGRADE_TESTS}/GuiTests.cmake)
endif()
