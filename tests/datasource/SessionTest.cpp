// Opening and closing a session against the simulated backend: binding, the backend's refusals,
// configuration beside the library, custom data, and two applications at once.
#include "tests/support/SourceFixture.h"

#include "platform/Platform.h"
#include "platform/PlatformTesting.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace Twpp;
using testsupport::SourceTest;

namespace {

class Session : public SourceTest {
protected:
    std::size_t count(const std::string& line) {
        const std::string text = journal();
        std::size_t found = 0;
        for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
            ++found;
        return found;
    }
};

TEST_F(Session, EveryOpenBindsTheBackendAnew) {
    openSource();
    ASSERT_EQ(app().close(), TWRC_SUCCESS);
    openSource();
    ASSERT_EQ(app().close(), TWRC_SUCCESS);
    EXPECT_EQ(count("\ninitialize") + (journal().rfind("initialize", 0) == 0 ? 1 : 0), 2u) << journal();
    EXPECT_EQ(count("uninitialize"), 2u) << journal();
}

struct OpenFailure {
    const char* name;
    int status;
    uint16_t condition;
};
class BackendRefusesToOpen : public Session, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(BackendRefusesToOpen, AnswersTheMappedCondition) {
    const OpenFailure c = GetParam();
    useProfile(R"({"base": "default", "faults": {"openStatus": )" + std::to_string(c.status) + "}}");
    EXPECT_EQ(app().open(), TWRC_FAILURE);
    EXPECT_EQ(condition(), c.condition);
    // The failed open removed the instance and unbound the backend.
    EXPECT_NE(journal().find("uninitialize"), std::string::npos);
    EXPECT_EQ(capability(MSG_GET, CAP_SUPPORTEDCAPS), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADPROTOCOL);
}
INSTANTIATE_TEST_SUITE_P(StatusTable, BackendRefusesToOpen,
                         ::testing::Values(OpenFailure{"BadValue", 0x100, TWCC_BADVALUE},
                                           OpenFailure{"Denied", 0x103, TWCC_DENIED},
                                           OpenFailure{"BadCap", 0x10C, TWCC_BADCAP},
                                           OpenFailure{"OperationError", 0x10D, TWCC_OPERATIONERROR},
                                           OpenFailure{"FileNotFound", 0x10F, TWCC_FILENOTFOUND},
                                           OpenFailure{"FileWriteError", 0x111, TWCC_FILEWRITEERROR},
                                           OpenFailure{"Offline", 0xDE00, TWCC_CHECKDEVICEONLINE},
                                           OpenFailure{"BadProtocol", 0xDE01, TWCC_BADPROTOCOL},
                                           OpenFailure{"NoMedia", 0xDE07, TWCC_NOMEDIA},
                                           OpenFailure{"DoubleFeed", 0xDE09, TWCC_PAPERDOUBLEFEED},
                                           OpenFailure{"PaperJam", 0xDE0A, TWCC_PAPERJAM},
                                           OpenFailure{"DamagedCorner", 0xDE0E, TWCC_DAMAGEDCORNER},
                                           OpenFailure{"OtherInCustomRange", 5, 0x8005},
                                           OpenFailure{"WrapsToSixteenBits", 0xFFFF, 0x7FFF}),
                         [](const auto& info) { return info.param.name; });

TEST_F(Session, NoScannerObjectFailsWithSuccessCondition) {
    useProfile(R"({"base": "default", "faults": {"noScanner": true}})");
    EXPECT_EQ(app().open(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SUCCESS);
}

TEST_F(Session, MissingBackendAnswersBummer) {
    for (const auto& directory :
         {std::optional<std::wstring>(), std::optional<std::wstring>(L""),
          std::optional<std::wstring>(platform::utf8ToWide(testsupport::scratchDirectory() + "nowhere"))}) {
        testsupport::setBackendDirectory(directory);
        EXPECT_EQ(app().open(), TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_BUMMER);
    }
}

TEST_F(Session, LibraryWithoutTheEntryPointsAnswersBummer) {
    // A real shared library under the backend's name, without its four entry points.
    const std::string folder = testsupport::scratchDirectory() + "impostor";
    std::filesystem::create_directories(folder);
    const std::wstring source = host::programDirectory() + platform::kPathSeparator +
                                platform::sharedLibraryFileName(L"tarsin-platform");
    std::filesystem::copy_file(platform::wideToUtf8(source),
                               folder + "/" + platform::wideToUtf8(platform::sharedLibraryFileName(L"sane")),
                               std::filesystem::copy_options::overwrite_existing);
    testsupport::setBackendDirectory(platform::utf8ToWide(folder));
    EXPECT_EQ(app().open(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BUMMER);
}

TEST_F(Session, FreshSessionReportsBmpAndNoFileName) {
    openSource();
    TW_SETUPFILEXFER setup{};
    std::memset(setup.FileName, 'x', sizeof setup.FileName);
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(setup.Format, TWFF_BMP);
    EXPECT_EQ(setup.FileName[0], '\0');
}

TEST_F(Session, CustomDataRoundTripsThroughTheBackend) {
    openSource();
    const char settings[] = "brightness=7;contrast=2";
    TW_CUSTOMDSDATA data{sizeof settings, host::hostAllocate(sizeof settings)};
    std::memcpy(host::hostLock(data.hData), settings, sizeof settings);
    host::hostUnlock(data.hData);
    ASSERT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &data), TWRC_SUCCESS);
    host::hostFree(data.hData);

    TW_CUSTOMDSDATA back{};
    ASSERT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &back), TWRC_SUCCESS);
    ASSERT_EQ(back.InfoLength, sizeof settings);
    ASSERT_TRUE(host::isLiveHostHandle(back.hData));
    EXPECT_EQ(std::memcmp(host::hostLock(back.hData), settings, sizeof settings), 0);
    host::hostUnlock(back.hData);
    host::hostFree(back.hData);
}

TEST_F(Session, CustomDataAbsentLeavesTheRecordAsPassed) {
    useProfile("minimal");
    openSource();
    TW_CUSTOMDSDATA data{42, reinterpret_cast<Handle>(0x1234)};
    ASSERT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &data), TWRC_SUCCESS);
    EXPECT_EQ(data.InfoLength, 42u);
    EXPECT_EQ(data.hData, reinterpret_cast<Handle>(0x1234));
    // Setting without data is the application's fault, not a crash.
    TW_CUSTOMDSDATA none{4, nullptr};
    EXPECT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &none), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BADVALUE);
}

TEST_F(Session, SecondApplicationClosingKeepsTheFirstSessionBound) {
    openSource();
    auto second = makeApplication();
    ASSERT_EQ(second->open(), TWRC_SUCCESS);
    ASSERT_EQ(second->close(), TWRC_SUCCESS);
    EXPECT_EQ(journal().find("uninitialize"), std::string::npos)
        << "the backend was unbound under the first session";
    // The first session still drives its scanner.
    TW_USERINTERFACE ui{};
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    ASSERT_EQ(app().close(), TWRC_SUCCESS);
    EXPECT_NE(journal().find("uninitialize"), std::string::npos);
}

// first.cfg beside the library switches flow mode: memory setup without an image then succeeds with
// Preferred 1 instead of failing.
class FlowMode : public Session, public ::testing::WithParamInterface<std::pair<const char*, bool>> {
protected:
    void TearDown() override {
        std::remove(configPath().c_str());
        Session::TearDown();
    }
    static std::string configPath() { return platform::wideToUtf8(host::programDirectory()) + "/first.cfg"; }
};

TEST_P(FlowMode, FollowsTheFlowKey) {
    std::ofstream(configPath()) << "[twain-app]\n" << GetParam().first << "\n";
    openSource();
    TW_SETUPMEMXFER setup{};
    const uint16_t rc = call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    if (GetParam().second) {
        EXPECT_EQ(rc, TWRC_SUCCESS);
        EXPECT_EQ(setup.Preferred, 1u);
    } else {
        EXPECT_EQ(rc, TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_SEQERROR);
    }
}
INSTANTIATE_TEST_SUITE_P(Keys, FlowMode,
                         ::testing::Values(std::make_pair("flow=1", true), std::make_pair("flow=2", false),
                                           std::make_pair("flow=0", false), std::make_pair("other=1", false)),
                         [](const auto& info) {
                             std::string name = info.param.first;
                             name.erase(std::remove(name.begin(), name.end(), '='), name.end());
                             return name;
                         });

} // namespace

namespace {

// The backend in bin/retry loads only when the current directory is its folder (its companion
// library resolves through a relative run path): the first load fails for a missing module, the
// retry from the library's folder succeeds, and the application's current directory is restored.
TEST_F(Session, LoadRetriesFromTheLibrarysFolderAndRestoresTheCurrentDirectory) {
    const std::wstring folder = host::programDirectory() + platform::kPathSeparator + L"retry";
    if (!std::filesystem::exists(platform::wideToUtf8(folder)))
        GTEST_SKIP() << "the retry backend is built on POSIX only";
    const std::wstring before = platform::currentDirectory();
    ASSERT_TRUE(platform::setCurrentDirectory(platform::utf8ToWide(testsupport::scratchDirectory())));
    const std::wstring elsewhere = platform::currentDirectory();
    testsupport::setBackendDirectory(folder);
    EXPECT_EQ(app().open(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_OPERATIONERROR) << "the backend was not loaded";
    EXPECT_EQ(platform::currentDirectory(), elsewhere);
    platform::setCurrentDirectory(before);
}

} // namespace
