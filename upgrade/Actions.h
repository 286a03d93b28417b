#pragma once

// The actions of the upgrade program that need no window: reports, the scanning application
// and the upgrade package. The progress window and the message boxes are in Upgrade.h.

#include <string>

namespace upgrade {

// The only application whose executable the program knows.
inline constexpr char kScannerName[] = "Scanner";

// The switch that makes an upgrade package run without asking anything.
inline constexpr char kSilentSwitch[] = "/verysilent";

// Path of the scanning application: HKEY_LOCAL_MACHINE\SOFTWARE\OmbrixScan, value "Application".
// Empty when the key or the value is missing.
std::wstring readApplicationPath();

// True when applicationName is "Scanner" and a process runs whose image path is the scanning
// application's path (case ignored).
bool isApplicationRunning(const std::string& applicationName);

// Starts the scanning application when applicationName is "Scanner" and its path is known.
void launchApplication(const std::string& applicationName);

// Returns once isApplicationRunning(applicationName) is false, asking every 20 ms; no time limit,
// because the package must not replace files of a running application.
void waitWhileApplicationRuns(const std::string& applicationName);

// Starts the application again after an upgrade unless it is already running.
void restartApplication(const std::string& applicationName);

// Runs the package as "<packagePath> /verysilent" and waits for it; true when it started and
// exited with code 0.
bool runPackage(const std::string& packagePath);

// Post a report through OBVersion; skipped when OBVersion cannot create a manager.
void postInstallReport(const std::string& applicationName, const std::string& description);
void postUninstallReport(const std::string& applicationName, const std::string& description);

} // namespace upgrade
