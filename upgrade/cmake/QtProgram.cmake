# The Qt part of the upgrade program: progress window, resources, translation and the program.

# lrelease at build time: only the .ts is kept in git.
set_source_files_properties(translation/upgrade/Upgrade_zh_CN.ts PROPERTIES
    OUTPUT_LOCATION ${CMAKE_CURRENT_BINARY_DIR})
qt5_add_translation(OBUPGRADE_QM_FILES translation/upgrade/Upgrade_zh_CN.ts)

# The bundle names a generated file, which AUTORCC's scan cannot see before the build; rcc is
# therefore run by hand with its real inputs as dependencies.
configure_file(resources.qrc.in ${CMAKE_CURRENT_BINARY_DIR}/resources.qrc @ONLY)
set(OBUPGRADE_RCC_OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/qrc_resources.cpp)
add_custom_command(
    OUTPUT ${OBUPGRADE_RCC_OUTPUT}
    COMMAND Qt5::rcc --name resources --format-version 3 --output ${OBUPGRADE_RCC_OUTPUT}
            ${CMAKE_CURRENT_BINARY_DIR}/resources.qrc
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/resources.qrc ${OBUPGRADE_QM_FILES}
            ${CMAKE_CURRENT_SOURCE_DIR}/images/image_rsc/logo/waiting.gif
    COMMENT "Compiling the upgrade program's resource bundle"
    VERBATIM)
set_source_files_properties(${OBUPGRADE_RCC_OUTPUT} PROPERTIES SKIP_AUTOMOC ON)

qt5_wrap_ui(OBUPGRADE_UI_HEADERS mainwindow.ui)

add_library(obupgrade_gui STATIC
    MainWindow.cpp
    Upgrade.cpp
    ${OBUPGRADE_UI_HEADERS}
    ${OBUPGRADE_RCC_OUTPUT})
target_include_directories(obupgrade_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(obupgrade_gui PUBLIC obupgrade_actions OBBase Qt5::Widgets)
set_target_properties(obupgrade_gui PROPERTIES AUTOMOC ON)

add_executable(OBUpgradeApp WIN32 main.cpp)
target_link_libraries(OBUpgradeApp PRIVATE obupgrade_gui)
if(WIN32)
    target_sources(OBUpgradeApp PRIVATE $<TARGET_OBJECTS:obupgrade_winres>)
endif()
