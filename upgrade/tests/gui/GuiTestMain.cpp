// Entry of the Qt tests: one application object and the resource bundle for the whole run.
// Without a display of its own the run uses Qt's offscreen platform.

#include "Upgrade.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    upgrade::ResourceBundle resources;
    return RUN_ALL_TESTS();
}
