#include "OBVersion/OBVersion.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

namespace {

using namespace upgrade::test;

std::vector<fs::path> reportsIn(const fs::path& spool) {
    std::vector<fs::path> reports;
    if (fs::is_directory(spool))
        for (const auto& entry : fs::directory_iterator(spool))
            reports.push_back(entry.path());
    std::sort(reports.begin(), reports.end());
    return reports;
}

class OBVersionSpool : public ::testing::Test {
protected:
    TemporaryFolder m_folder;
    fs::path m_spool = m_folder.path() / "nested" / "spool";
    ScopedEnvironment m_spoolVariable{"OBVERSION_SPOOL_DIR", m_spool.string()};
};

TEST_F(OBVersionSpool, CreatesTheSpoolAndWritesOneReportPerPost) {
    TSVersion_Mgr manager = nullptr;
    ASSERT_EQ(TSVersion_CreateMgr(&manager), 1);
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(fs::is_directory(m_spool));
    EXPECT_EQ(TSVersion_PostInstallInfo(manager, "Scanner", "v4.14"), 1);
    EXPECT_EQ(TSVersion_PostUninstallInfo(manager, "Viewer", nullptr), 1);
    TSVersion_DestroyMgr(manager);

    const auto reports = reportsIn(m_spool);
    ASSERT_EQ(reports.size(), 2u);
    std::vector<std::string> texts;
    for (const auto& report : reports) {
        EXPECT_EQ(report.extension(), ".report");
        texts.push_back(readFile(report));
    }
    std::sort(texts.begin(), texts.end());
    const std::regex install("kind=install\napplication=Scanner\ndescription=v4\\.14\n"
                             "time=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\n");
    const std::regex uninstall("kind=uninstall\napplication=Viewer\ndescription=\ntime=[0-9T:Z-]{20}\n");
    EXPECT_TRUE(std::regex_match(texts[0], install)) << texts[0];
    EXPECT_TRUE(std::regex_match(texts[1], uninstall)) << texts[1];
}

TEST_F(OBVersionSpool, KeepsEveryFieldOnOneLine) {
    TSVersion_Mgr manager = nullptr;
    ASSERT_EQ(TSVersion_CreateMgr(&manager), 1);
    TSVersion_PostInstallInfo(manager, "A\nkind=uninstall", "line1\r\nC:\\dir");
    TSVersion_DestroyMgr(manager);
    const auto reports = reportsIn(m_spool);
    ASSERT_EQ(reports.size(), 1u);
    const std::string text = readFile(reports[0]);
    EXPECT_NE(text.find("application=A\\nkind=uninstall\n"), std::string::npos) << text;
    EXPECT_NE(text.find("description=line1\\r\\nC:\\\\dir\n"), std::string::npos) << text;
}

TEST_F(OBVersionSpool, ManagerIsNullWhenTheSpoolCannotBeMade) {
    fs::create_directories(m_spool.parent_path());
    std::ofstream(m_spool) << "a file where the spool folder should be";
    TSVersion_Mgr manager = reinterpret_cast<TSVersion_Mgr>(&m_folder); // must be overwritten
    EXPECT_EQ(TSVersion_CreateMgr(&manager), 0);
    EXPECT_EQ(manager, nullptr);
    EXPECT_EQ(TSVersion_PostInstallInfo(nullptr, "Scanner", ""), 0);
    TSVersion_DestroyMgr(nullptr);
}

TEST(OBVersionDefaultSpool, FollowsTheStateFolderWhenNoSpoolIsSet) {
    TemporaryFolder folder;
    ScopedEnvironment spool("OBVERSION_SPOOL_DIR", std::nullopt);
    ScopedEnvironment localAppData("LOCALAPPDATA", std::nullopt);
    ScopedEnvironment state("XDG_STATE_HOME", folder.path().string());
    TSVersion_Mgr manager = nullptr;
    ASSERT_EQ(TSVersion_CreateMgr(&manager), 1);
    TSVersion_PostInstallInfo(manager, "Scanner", "");
    TSVersion_DestroyMgr(manager);
    EXPECT_EQ(reportsIn(folder.path() / "ombrix" / "obversion" / "spool").size(), 1u);
}

} // namespace
