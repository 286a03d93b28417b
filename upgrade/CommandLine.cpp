#include "CommandLine.h"

#include <cstring>

namespace upgrade {
namespace {

struct OptionPrefix {
    const char* prefix;
    std::string CommandLine::*option;
};

// Order matters only for arguments that could match two prefixes; none of these can, but the
// installers were written against this order, so keep it.
const OptionPrefix kOptionPrefixes[] = {
    {"-type=", &CommandLine::type},
    {"-appName=", &CommandLine::applicationName},
    {"-desc=", &CommandLine::description},
    {"-pkgpath=", &CommandLine::packagePath},
};

} // namespace

bool operator==(const CommandLine& a, const CommandLine& b) {
    return a.type == b.type && a.applicationName == b.applicationName && a.description == b.description &&
           a.packagePath == b.packagePath;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr)
            continue;
        for (const OptionPrefix& option : kOptionPrefixes) {
            const std::size_t length = std::strlen(option.prefix);
            if (std::strncmp(argv[i], option.prefix, length) == 0) {
                result.*option.option = argv[i] + length;
                break;
            }
        }
    }
    return result;
}

Action chooseAction(const CommandLine& commandLine) {
    if (commandLine.applicationName.empty())
        return Action::None;
    if (commandLine.type == "postinstallinfo")
        return Action::InstallReport;
    if (commandLine.type == "postuninstallinfo")
        return Action::UninstallReport;
    if (commandLine.type == "upgrade" && !commandLine.packagePath.empty())
        return Action::Upgrade;
    return Action::None;
}

} // namespace upgrade
