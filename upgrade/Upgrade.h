#pragma once

#include "CommandLine.h"

namespace upgrade {

// The upgrade action: waits until the scanning application has exited, runs the package behind
// the progress window, shows the outcome and restarts the application after a success.
// The QApplication must exist already.
void runUpgrade(const CommandLine& commandLine);

// Keeps the compiled-in resource bundle registered for its lifetime.
class ResourceBundle {
public:
    ResourceBundle();
    ~ResourceBundle();
    ResourceBundle(const ResourceBundle&) = delete;
    ResourceBundle& operator=(const ResourceBundle&) = delete;
};

} // namespace upgrade
