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
obupgrade_register_test(upgrade_gui_tests)
