#pragma once

#include <string>

namespace upgrade {

// The options of one run, as byte strings in the ANSI code page (Qt's Windows entry converts
// the wide command line before main runs). All start empty.
struct CommandLine {
    std::string type;
    std::string applicationName;
    std::string description;
    std::string packagePath;
};

bool operator==(const CommandLine& a, const CommandLine& b);

enum class Action { None, InstallReport, UninstallReport, Upgrade };

// Examines every argument after the program name: an argument that starts with "-type=",
// "-appName=", "-desc=" or "-pkgpath=" (case-sensitive, tested in that order) sets that option to
// the rest of the argument; a later one replaces an earlier one; anything else is ignored.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The action the options ask for, or None when the type is unknown or a required option is empty.
Action chooseAction(const CommandLine& commandLine);

} // namespace upgrade
