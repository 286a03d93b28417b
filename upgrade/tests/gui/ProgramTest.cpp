// Runs the real OBUpgradeApp. Its environment names a Qt platform that does not exist, so any
// run that creates the Qt application (and with it a window) aborts instead of exiting with 0.

#include "support/TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace upgrade::test;

struct ProgramCase {
    const char* name;
    QStringList arguments;
    std::vector<std::string> reports; // the fields after "kind=", up to "time="
};

class ProgramRun : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramRun, ExitsWithZeroAndWritesOnlyTheAskedReport) {
    TemporaryFolder folder;
    const fs::path spool = folder.path() / "spool";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OBVERSION_SPOOL_DIR", QString::fromStdString(spool.string()));
    environment.insert("QT_QPA_PLATFORM", "no-such-platform");
    environment.insert("TARSIN_REGISTRY", QString::fromStdString((folder.path() / "none.ini").string()));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(UPGRADE_PROGRAM, GetParam().arguments);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    std::vector<std::string> reports;
    if (fs::is_directory(spool))
        for (const auto& entry : fs::directory_iterator(spool)) {
            const std::string text = readFile(entry.path());
            reports.push_back(text.substr(5, text.find("time=") - 5));
        }
    EXPECT_EQ(reports, GetParam().reports);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramRun,
    ::testing::Values(
        ProgramCase{"NoArguments", {}, {}},
        ProgramCase{"InstallReport",
                    {"-type=postinstallinfo", "-appName=Scanner", "-desc=v4.14"},
                    {"install\napplication=Scanner\ndescription=v4.14\n"}},
        ProgramCase{"InstallReportWithoutDescription",
                    {"-type=postinstallinfo", "-appName=Scanner"},
                    {"install\napplication=Scanner\ndescription=\n"}},
        ProgramCase{"UninstallReportLaterNameWins",
                    {"-appName=Old", "-type=postuninstallinfo", "-appName=Scanner", "-desc=gone"},
                    {"uninstall\napplication=Scanner\ndescription=gone\n"}},
        ProgramCase{"UpgradeWithoutPackageDoesNothing", {"-type=upgrade", "-appName=Scanner"}, {}},
        ProgramCase{"TypesIsIgnored", {"-types=postinstallinfo", "-appName=Scanner"}, {}},
        ProgramCase{"ReportWithoutApplicationDoesNothing", {"-type=postinstallinfo", "-desc=x"}, {}},
        ProgramCase{"UnknownType", {"-type=repair", "-appName=Scanner", "-pkgpath=setup"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramRunReport, ExitsWithZeroWhenTheSpoolIsUnusable) {
    TemporaryFolder folder;
    const fs::path spool = folder.path() / "spool";
    std::ofstream(spool) << "not a folder";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OBVERSION_SPOOL_DIR", QString::fromStdString(spool.string()));
    environment.insert("QT_QPA_PLATFORM", "no-such-platform");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(UPGRADE_PROGRAM, {"-type=postinstallinfo", "-appName=Scanner"});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
}

} // namespace
