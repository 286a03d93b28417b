#include "platform/Platform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace upgrade::test;

struct RegistryCase {
    const char* name;
    const char* file;
    std::optional<std::wstring> expected;
};

void PrintTo(const RegistryCase& c, std::ostream* out) { *out << c.name; }

class RegistryStandIn : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(RegistryStandIn, ReadsTheApplicationValue) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "registry.ini";
    std::ofstream(file, std::ios::binary) << GetParam().file;
    ScopedEnvironment registry("TARSIN_REGISTRY", file.string());
    EXPECT_EQ(upgrade::platform::readMachineString(L"SOFTWARE\\OmbrixScan", L"Application", 260),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryStandIn,
    ::testing::Values(
        RegistryCase{"Plain",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\nApplication=/opt/ombrix/bin/scanner\n",
                     L"/opt/ombrix/bin/scanner"},
        RegistryCase{"NamesIgnoreCase", "[hkey_local_machine\\software\\ombrixscan]\napplication=/a\n",
                     L"/a"},
        RegistryCase{
            "CommentsAndCrLf",
            "# comment\r\n; other\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\r\nApplication=/a b \r\n",
            L"/a b "},
        RegistryCase{"ValueKeepsEverythingAfterTheFirstEquals",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\nApplication= /x=y\n", L" /x=y"},
        RegistryCase{"Utf8Value",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\nApplication=/opt/\xE6\x89\xAB\n",
                     L"/opt/\x626B"},
        RegistryCase{"OtherKeyDoesNotCount",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\nApplication=/wrong\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan\\Sub]\nApplication=/wrong\n",
                     std::nullopt},
        RegistryCase{"ValueMissing", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OmbrixScan]\nAppDirectory=/x\n",
                     std::nullopt},
        RegistryCase{"EmptyFile", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryStandInFile, MissingFileMeansNoValue) {
    TemporaryFolder folder;
    ScopedEnvironment registry("TARSIN_REGISTRY", (folder.path() / "absent.ini").string());
    EXPECT_EQ(upgrade::platform::readMachineString(L"SOFTWARE\\OmbrixScan", L"Application", 260),
              std::nullopt);
}

} // namespace
