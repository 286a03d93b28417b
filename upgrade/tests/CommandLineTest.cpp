#include "CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace upgrade {
// Readable failures for the table below.
void PrintTo(const CommandLine& c, std::ostream* out) {
    *out << "{type='" << c.type << "' app='" << c.applicationName << "' desc='" << c.description << "' pkg='"
         << c.packagePath << "'}";
}
} // namespace upgrade

namespace {

using upgrade::Action;
using upgrade::CommandLine;

struct ParseCase {
    const char* name;
    std::vector<const char*> arguments; // after the program name
    CommandLine expected;
    Action action;
};

void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.name; }

class CommandLineParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommandLineParsing, YieldsOptionsAndAction) {
    const ParseCase& c = GetParam();
    std::vector<const char*> argv{"OBUpgradeApp.exe"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine parsed = upgrade::parseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(parsed, c.expected);
    EXPECT_EQ(upgrade::chooseAction(parsed), c.action);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineParsing,
    ::testing::Values(ParseCase{"Empty", {}, {}, Action::None},
                      ParseCase{"InstallReport",
                                {"-type=postinstallinfo", "-appName=Scanner", "-desc=v4.14"},
                                {"postinstallinfo", "Scanner", "v4.14", ""},
                                Action::InstallReport},
                      ParseCase{"InstallReportWithoutDescriptionStillActs",
                                {"-type=postinstallinfo", "-appName=Scanner"},
                                {"postinstallinfo", "Scanner", "", ""},
                                Action::InstallReport},
                      ParseCase{"UninstallReportAnyOrder",
                                {"-desc=gone", "-appName=Viewer", "-type=postuninstallinfo"},
                                {"postuninstallinfo", "Viewer", "gone", ""},
                                Action::UninstallReport},
                      ParseCase{"Upgrade",
                                {"-type=upgrade", "-appName=Scanner", "-pkgpath=C:\\tmp\\setup.exe"},
                                {"upgrade", "Scanner", "", "C:\\tmp\\setup.exe"},
                                Action::Upgrade},
                      ParseCase{"UpgradeWithoutPackageDoesNothing",
                                {"-type=upgrade", "-appName=Scanner"},
                                {"upgrade", "Scanner", "", ""},
                                Action::None},
                      ParseCase{"UpgradeWithEmptyPackageDoesNothing",
                                {"-type=upgrade", "-appName=Scanner", "-pkgpath="},
                                {"upgrade", "Scanner", "", ""},
                                Action::None},
                      ParseCase{"ReportWithoutApplicationDoesNothing",
                                {"-type=postinstallinfo", "-desc=x"},
                                {"postinstallinfo", "", "x", ""},
                                Action::None},
                      ParseCase{"LaterValueWins",
                                {"-appName=First", "-type=postinstallinfo", "-appName=Second"},
                                {"postinstallinfo", "Second", "", ""},
                                Action::InstallReport},
                      ParseCase{"LaterEmptyValueWins",
                                {"-type=postinstallinfo", "-appName=First", "-appName="},
                                {"postinstallinfo", "", "", ""},
                                Action::None},
                      ParseCase{"TypesIsNotAType",
                                {"-types=postinstallinfo", "-appName=Scanner"},
                                {"", "Scanner", "", ""},
                                Action::None},
                      ParseCase{"PrefixesAreCaseSensitive",
                                {"-TYPE=postinstallinfo", "-appname=Scanner", "-Desc=d"},
                                {},
                                Action::None},
                      ParseCase{"TypeComparedExactly",
                                {"-type=PostInstallInfo", "-appName=Scanner"},
                                {"PostInstallInfo", "Scanner", "", ""},
                                Action::None},
                      ParseCase{"TypeWithTrailingSpaceIsUnknown",
                                {"-type=upgrade ", "-appName=Scanner", "-pkgpath=p"},
                                {"upgrade ", "Scanner", "", "p"},
                                Action::None},
                      ParseCase{"ValueKeepsEqualsAndSpaces",
                                {"-type=postinstallinfo", "-appName=A", "-desc=a=b c"},
                                {"postinstallinfo", "A", "a=b c", ""},
                                Action::InstallReport},
                      ParseCase{"OtherArgumentsIgnored",
                                {"/verysilent", "type=upgrade", "--appName=X", "-type=", "-appName"},
                                {},
                                Action::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineParsingProgramName, IsNeverAnOption) {
    const char* argv[] = {"-type=postinstallinfo", "-appName=Scanner"};
    EXPECT_EQ(upgrade::parseCommandLine(2, argv).type, "");
    EXPECT_EQ(upgrade::parseCommandLine(2, argv).applicationName, "Scanner");
}

} // namespace
