#include "Upgrade.h"
#include "Actions.h"
#include "GuiSupport.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace upgrade::test;

// Fresh folder, package and scanning application for each test.
class UpgradeTest : public ::testing::Test {
protected:
    TemporaryFolder m_folder;
    FakeProgram m_package{m_folder.path(), "setup"};
    FakeProgram m_scanner{m_folder.path(), "scanner"};
    ScopedApplicationPath m_registry{m_folder.path(), m_scanner.path()};

    upgrade::CommandLine upgradeCommand(const std::string& applicationName = "Scanner") const {
        return {"upgrade", applicationName, "", m_package.path().string()};
    }

    // Starts the scanning application in the background; finished is set when it has exited.
    std::thread startScanner(std::chrono::milliseconds lifetime, std::atomic<bool>& finished) {
        m_scanner.setSleep(lifetime);
        const std::size_t before = m_scanner.runs().size();
        std::thread runner([this, &finished] {
            upgrade::runPackage(m_scanner.path().string());
            finished = true;
        });
        waitUntil(
            [&] { return m_scanner.runs().size() > before && upgrade::isApplicationRunning("Scanner"); });
        return runner;
    }
};

struct ResultCase {
    const char* name;
    std::optional<int> exitCode; // nullopt: the package does not exist
    QMessageBox::Icon icon;
    const char* title;
    const char* text;
    bool restarts;
};

class UpgradeResult : public UpgradeTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(UpgradeResult, ShowsTheOutcomeAndRestartsOnlyAfterSuccess) {
    const ResultCase& c = GetParam();
    if (c.exitCode)
        m_package.setExitCode(*c.exitCode);
    else
        std::filesystem::remove(m_package.path());
    QPoint shownAt;
    QSize shownSize;
    ShowWatcher watcher([&](QMainWindow& window) {
        shownAt = window.pos();
        shownSize = window.size();
    });
    MessageBoxCloser closer;

    upgrade::runUpgrade(upgradeCommand());

    ASSERT_TRUE(closer.seen());
    EXPECT_EQ(closer.count(), 1);
    EXPECT_EQ(closer.seen()->icon, c.icon);
    EXPECT_EQ(closer.seen()->title, QString::fromUtf8(c.title));
    EXPECT_EQ(closer.seen()->text, QString::fromUtf8(c.text));
    EXPECT_EQ(closer.seen()->buttons, QStringList{QString::fromUtf8("确定")});
    EXPECT_TRUE(closer.seen()->flags.testFlag(Qt::Dialog));
    EXPECT_TRUE(closer.seen()->flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_FALSE(closer.seen()->hasParent);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(shownAt,
              QPoint((screen.width() - shownSize.width()) / 2, (screen.height() - shownSize.height()) / 2));

    if (c.restarts) {
        EXPECT_TRUE(waitUntil([&] { return m_scanner.runs() == std::vector<std::string>{""}; }));
    } else {
        std::this_thread::sleep_for(200ms);
        EXPECT_TRUE(m_scanner.runs().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, UpgradeResult,
    ::testing::Values(ResultCase{"PackageSucceeds", 0, QMessageBox::Information, "提示", "安装成功！", true},
                      ResultCase{"PackageFails", 1, QMessageBox::Critical, "错误", "安装失败！", false},
                      ResultCase{"PackageMissing", std::nullopt, QMessageBox::Critical, "错误", "安装失败！",
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpgradeTest, ShowsTheWindowOnlyAfterTheScannerHasExited) {
    std::atomic<bool> scannerExited{false};
    std::thread scanner = startScanner(600ms, scannerExited);
    ASSERT_FALSE(scannerExited);
    bool exitedAtShow = false;
    bool runningAtShow = true;
    ShowWatcher watcher([&](QMainWindow&) {
        runningAtShow = upgrade::isApplicationRunning("Scanner");
        // The poll may see the process gone a moment before its waiter does.
        exitedAtShow = waitUntil([&] { return scannerExited.load(); }, 1000ms);
    });
    MessageBoxCloser closer;

    upgrade::runUpgrade(upgradeCommand());
    scanner.join();

    EXPECT_FALSE(runningAtShow);
    EXPECT_TRUE(exitedAtShow);
    EXPECT_TRUE(m_package.runs().size() == 1);
    EXPECT_TRUE(waitUntil([&] { return m_scanner.runs().size() == 2; })); // restarted after success
}

TEST_F(UpgradeTest, DoesNotRestartAScannerThatAlreadyRunsAgain) {
    std::atomic<bool> scannerExited{false};
    std::thread scanner;
    // Someone starts the application while the success message is up.
    MessageBoxCloser closer([&] { scanner = startScanner(1000ms, scannerExited); });

    upgrade::runUpgrade(upgradeCommand());
    std::this_thread::sleep_for(200ms);

    EXPECT_EQ(m_scanner.runs().size(), 1u);
    scanner.join();
}

TEST_F(UpgradeTest, OtherApplicationsAreNeitherAwaitedNorStarted) {
    std::atomic<bool> scannerExited{false};
    std::thread scanner = startScanner(1500ms, scannerExited);
    bool scannerRanAtShow = false;
    ShowWatcher watcher([&](QMainWindow&) { scannerRanAtShow = !scannerExited; });
    MessageBoxCloser closer;

    upgrade::runUpgrade(upgradeCommand("Viewer"));
    scanner.join();

    EXPECT_TRUE(scannerRanAtShow);
    ASSERT_TRUE(closer.seen());
    EXPECT_EQ(closer.seen()->icon, QMessageBox::Information);
    EXPECT_EQ(m_scanner.runs().size(), 1u);
}

} // namespace
