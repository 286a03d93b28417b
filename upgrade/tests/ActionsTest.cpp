#include "Actions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace upgrade::test;

// Each test gets its own folder, report spool and registry value, so none sees another's state.
class ActionsTest : public ::testing::Test {
protected:
    TemporaryFolder m_folder;
    fs::path m_spool = m_folder.path() / "spool";
    ScopedEnvironment m_spoolVariable{"OBVERSION_SPOOL_DIR", m_spool.string()};

    std::vector<std::string> reports() const {
        std::vector<std::string> texts;
        if (fs::is_directory(m_spool))
            for (const auto& entry : fs::directory_iterator(m_spool))
                texts.push_back(readFile(entry.path()));
        return texts;
    }
};

// The scanning application, running in the background for a while.
class RunningApplication {
public:
    RunningApplication(const FakeProgram& program, std::chrono::milliseconds lifetime) : m_program(program) {
        program.setSleep(lifetime);
        m_thread = std::thread([this] {
            upgrade::runPackage(m_program.path().string());
            m_exited = true;
        });
        waitUntil([this] { return !m_program.runs().empty(); });
    }
    ~RunningApplication() { m_thread.join(); }
    bool exited() const { return m_exited; }

private:
    const FakeProgram& m_program;
    std::atomic<bool> m_exited{false};
    std::thread m_thread;
};

TEST_F(ActionsTest, InstallAndUninstallReportsLandInTheSpool) {
    upgrade::postInstallReport("Scanner", "");
    upgrade::postUninstallReport("Scanner", "v4.14");
    auto texts = reports();
    ASSERT_EQ(texts.size(), 2u);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts[0].rfind("kind=install\napplication=Scanner\ndescription=\ntime=", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1].rfind("kind=uninstall\napplication=Scanner\ndescription=v4.14\ntime=", 0), 0u)
        << texts[1];
}

TEST_F(ActionsTest, ReportIsSkippedWhenNoManagerCanBeCreated) {
    std::ofstream(m_spool) << "not a folder";
    upgrade::postInstallReport("Scanner", "");
    EXPECT_TRUE(fs::is_regular_file(m_spool));
}

TEST_F(ActionsTest, PackageReceivesVerySilentAndItsExitCodeDecides) {
    FakeProgram good(m_folder.path(), "good-setup");
    FakeProgram bad(m_folder.path(), "bad-setup");
    bad.setExitCode(1);
    EXPECT_TRUE(upgrade::runPackage(good.path().string()));
    EXPECT_FALSE(upgrade::runPackage(bad.path().string()));
    EXPECT_EQ(good.runs(), std::vector<std::string>{"/verysilent"});
    EXPECT_EQ(bad.runs(), std::vector<std::string>{"/verysilent"});
}

TEST_F(ActionsTest, PackageThatCannotStartFails) {
    EXPECT_FALSE(upgrade::runPackage((m_folder.path() / "missing-setup.exe").string()));
}

TEST_F(ActionsTest, PackagePathLongerThanTheOldBufferRunsWhole) {
    // Path plus " /verysilent" is far beyond 256 bytes but within every system's path limit.
    fs::path folder = m_folder.path();
    while (folder.string().size() < 240)
        folder /= std::string(40, 'd');
    fs::create_directories(folder);
    FakeProgram package(folder, "setup");
    ASSERT_GT(package.path().string().size() + std::string(" /verysilent").size(), 255u);
    EXPECT_TRUE(upgrade::runPackage(package.path().string()));
    EXPECT_EQ(package.runs(), std::vector<std::string>{"/verysilent"});
}

TEST_F(ActionsTest, ApplicationPathComesFromTheRegistry) {
    const fs::path path = m_folder.path() / "bin" / "scanner";
    {
        ScopedApplicationPath registry(m_folder.path(), path);
        EXPECT_EQ(upgrade::readApplicationPath(), path.wstring());
    }
    ScopedApplicationPath noValue(m_folder.path(), std::nullopt);
    EXPECT_EQ(upgrade::readApplicationPath(), L"");
}

TEST_F(ActionsTest, ApplicationPathLongerThan129CharactersIsNotRead) {
    const std::string folder = m_folder.path().string();
    const fs::path fits = folder + "/" + std::string(129 - folder.size() - 1, 'a');
    const fs::path tooLong = fits.string() + "b";
    {
        ScopedApplicationPath registry(m_folder.path(), fits);
        EXPECT_EQ(upgrade::readApplicationPath(), fits.wstring());
    }
    ScopedApplicationPath registry(m_folder.path(), tooLong);
    EXPECT_EQ(upgrade::readApplicationPath(), L"");
}

TEST_F(ActionsTest, RunningIsTrueOnlyForTheScannerWhileItsImageRuns) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), scanner.path());
    EXPECT_FALSE(upgrade::isApplicationRunning("Scanner"));
    {
        RunningApplication running(scanner, 3000ms);
        EXPECT_TRUE(upgrade::isApplicationRunning("Scanner"));
        EXPECT_FALSE(upgrade::isApplicationRunning("scanner")); // the name is compared exactly
        EXPECT_FALSE(upgrade::isApplicationRunning("Viewer"));
    }
    EXPECT_FALSE(upgrade::isApplicationRunning("Scanner"));
}

TEST_F(ActionsTest, RunningIgnoresCaseOfTheImagePath) {
    FakeProgram scanner(m_folder.path(), "scanner");
    const std::string path = scanner.path().string();
    const auto nameStart = path.rfind("scanner");
    ScopedApplicationPath registry(m_folder.path(),
                                   path.substr(0, nameStart) + "SCANNER" + path.substr(nameStart + 7));
    RunningApplication running(scanner, 2000ms);
    EXPECT_TRUE(upgrade::isApplicationRunning("Scanner"));
}

TEST_F(ActionsTest, NothingRunsWithoutARegistryValue) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), std::nullopt);
    RunningApplication running(scanner, 1000ms);
    EXPECT_FALSE(upgrade::isApplicationRunning("Scanner"));
    upgrade::launchApplication("Scanner");
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(scanner.runs().size(), 1u); // only the run the test started
}

TEST_F(ActionsTest, WaitReturnsOnlyAfterTheScannerExited) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), scanner.path());
    RunningApplication running(scanner, 400ms);
    ASSERT_TRUE(upgrade::isApplicationRunning("Scanner"));
    upgrade::waitWhileApplicationRuns("Scanner");
    EXPECT_FALSE(upgrade::isApplicationRunning("Scanner"));
    // The wait polls the process list, so it may end a moment before the waiter thread notices.
    EXPECT_TRUE(waitUntil([&] { return running.exited(); }, 2000ms));
}

TEST_F(ActionsTest, WaitIgnoresApplicationsOtherThanTheScanner) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), scanner.path());
    RunningApplication running(scanner, 1500ms);
    upgrade::waitWhileApplicationRuns("Viewer");
    EXPECT_FALSE(running.exited());
}

TEST_F(ActionsTest, LaunchStartsOnlyTheScannerWithoutArguments) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), scanner.path());
    upgrade::launchApplication("Viewer");
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(scanner.runs().empty());
    upgrade::launchApplication("Scanner");
    EXPECT_TRUE(waitUntil([&] { return scanner.runs() == std::vector<std::string>{""}; }));
}

TEST_F(ActionsTest, RestartStartsTheScannerOnlyWhenItIsNotRunning) {
    FakeProgram scanner(m_folder.path(), "scanner");
    ScopedApplicationPath registry(m_folder.path(), scanner.path());
    {
        RunningApplication running(scanner, 1000ms);
        upgrade::restartApplication("Scanner");
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(scanner.runs().size(), 1u);
    }
    scanner.setSleep(0ms);
    upgrade::restartApplication("Scanner");
    EXPECT_TRUE(waitUntil([&] { return scanner.runs().size() == 2; }));
}

} // namespace
