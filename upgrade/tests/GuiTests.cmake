# Tests of the Qt program, native only. They run on Qt's offscreen platform; one more test takes
# a screenshot under Xvfb.

find_package(Qt5 REQUIRED COMPONENTS Test)

add_library(upgrade_gui_test_support STATIC ${OBUPGRADE_TESTS}/gui/GuiSupport.cpp)
target_link_libraries(upgrade_gui_test_support PUBLIC Qt5::Widgets)

add_executable(upgrade_gui_tests
    ${OBUPGRADE_TESTS}/gui/GuiTestMain.cpp
    ${OBUPGRADE_TESTS}/gui/MainWindowTest.cpp
    ${OBUPGRADE_TESTS}/gui/UpgradeTest.cpp
    ${OBUPGRADE_TESTS}/gui/ProgramTest.cpp)
target_compile_definitions(upgrade_gui_tests PRIVATE UPGRADE_PROGRAM="$<TARGET_FILE:OBUpgradeApp>")
target_link_libraries(upgrade_gui_tests PRIVATE obupgrade_gui upgrade_gui_test_support upgrade_test_support
    Qt5::Test GTest::gtest)
add_dependencies(upgrade_gui_tests OBUpgradeApp)
tarsin_add_test(upgrade_gui_tests)

# The screenshot needs a real X server: xvfb-run starts one for this test alone.
find_program(OBUPGRADE_XVFB_RUN xvfb-run)
add_executable(upgrade_screenshot_test ${OBUPGRADE_TESTS}/gui/ScreenshotTest.cpp)
target_link_libraries(upgrade_screenshot_test PRIVATE obupgrade_gui upgrade_test_support Qt5::Test GTest::gtest)
if(OBUPGRADE_XVFB_RUN)
    add_test(NAME upgrade_screenshot_test
             COMMAND ${OBUPGRADE_XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:upgrade_screenshot_test>)
else()
    message(STATUS "xvfb-run not found: the progress window screenshot test is not registered")
endif()
