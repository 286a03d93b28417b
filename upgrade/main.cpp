// OBUpgradeApp: started by the installers of the scanning software to report an installation or
// an uninstallation, or to run an upgrade package. See README.md for the command line.

#include "Actions.h"
#include "CommandLine.h"
#include "Upgrade.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    upgrade::ResourceBundle resources;
    const upgrade::CommandLine commandLine = upgrade::parseCommandLine(argc, argv);
    switch (upgrade::chooseAction(commandLine)) {
    case upgrade::Action::InstallReport:
        upgrade::postInstallReport(commandLine.applicationName, commandLine.description);
        break;
    case upgrade::Action::UninstallReport:
        upgrade::postUninstallReport(commandLine.applicationName, commandLine.description);
        break;
    case upgrade::Action::Upgrade: {
        // Only the upgrade has a window; the reports must run where no display is available.
        QApplication application(argc, argv);
        upgrade::runUpgrade(commandLine);
        break;
    }
    case upgrade::Action::None:
        break;
    }
    // The installers do not look at our exit code; it is 0 whatever happened.
    return 0;
}
