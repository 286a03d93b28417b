// File transfers: the source's own BMP, the backend's file moved into place, failures to write, the
// file name's field and the setup messages.
#include "tests/transfer/TransferSupport.h"

#include "platform/Platform.h"

using namespace Twpp;
using namespace transfertest;

namespace {

class FileTransfer : public TransferTest {
protected:
    // Opens against the profile and waits for the first page.
    void scanOnePage(const std::string& profileJson) {
        testsupport::useProfile(profileJson);
        openSource();
        ASSERT_EQ(enable(), TWRC_SUCCESS);
        ASSERT_TRUE(waitForImage());
    }
    uint16_t transferFile() { return call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr); }
    std::string scratch(const std::string& name) { return testsupport::scratchDirectory() + name; }
};

// A BMP file back in chart form: the file header must point at the DIB's pixels.
std::vector<uint8_t> bmpToChartRows(const std::vector<uint8_t>& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || readLe32(&file[2]) != file.size())
        return {};
    const std::vector<uint8_t> rows = dibToChartRows(file.data() + 14, file.size() - 14);
    const uint32_t palette = readLe32(&file[14 + 32]);
    return readLe32(&file[10]) == 14 + 40 + palette * 4 ? rows : std::vector<uint8_t>{};
}

struct BmpCase {
    const char* name;
    const char* fileTransfer; // how the backend hands the file out
    int colourMode;
    const char* faults;
};
class FileTransferBmp : public FileTransfer, public ::testing::WithParamInterface<BmpCase> {};

TEST_P(FileTransferBmp, WritesThePageAsABmpFile) {
    const BmpCase c = GetParam();
    scanOnePage(profile(100, c.colourMode, 1, true,
                        std::string(", \"fileTransfer\": \"") + c.fileTransfer + "\"" + c.faults));
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        const std::string path = scratch(std::string(c.name) + "-" + std::to_string(n) + ".bmp");
        ASSERT_EQ(setupFile(path, TWFF_BMP), TWRC_SUCCESS);
        ASSERT_EQ(transferFile(), TWRC_XFERDONE) << "condition " << condition();
        EXPECT_TRUE(bmpToChartRows(readFile(path)) ==
                    simscanner::renderPage(pageOfJob(n, 100, c.colourMode, true)));
        EXPECT_EQ(endTransfer(), 1 - n);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, FileTransferBmp,
                         ::testing::Values(BmpCase{"BytesColour", "bytes", simscanner::kColour, ""},
                                           BmpCase{"BytesInSmallChunks", "bytes", simscanner::kGrey,
                                                   ", \"faults\": {\"chunkBytes\": 1000}"},
                                           BmpCase{"BackendFileBlackAndWhite", "file",
                                                   simscanner::kBlackAndWhite, ""}),
                         [](const auto& info) { return info.param.name; });

struct FailureCase {
    const char* name;
    const char* fileTransfer;
    const char* target; // under the scratch folder unless absolute
    uint16_t condition;
};
class FileTransferFailure : public FileTransfer, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FileTransferFailure, AnswersItsConditionAndCleansUp) {
    const FailureCase c = GetParam();
    scanOnePage(profile(100, simscanner::kGrey, 1, false,
                        std::string(", \"fileTransfer\": \"") + c.fileTransfer + "\""));
    const std::string target = c.target[0] == '/' ? c.target : scratch(c.target);
    ASSERT_EQ(setupFile(target, TWFF_BMP), TWRC_SUCCESS);
    EXPECT_EQ(transferFile(), TWRC_FAILURE);
    EXPECT_EQ(condition(), c.condition);
    // The page was taken either way; the job goes on with MSG_ENDXFER.
    EXPECT_EQ(endTransfer(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FileTransferFailure,
    ::testing::Values(FailureCase{"FullDisk", "bytes", "/dev/full", TWCC_FILEWRITEERROR},
                      FailureCase{"MissingFolder", "bytes", "no-such-folder/page.bmp", TWCC_FILEWRITEERROR},
                      // The backend's file cannot be moved there: it is deleted, not left behind.
                      FailureCase{"MissingFolderForTheBackendsFile", "file", "no-such-folder/page.bmp",
                                  TWCC_SEQERROR}),
    [](const auto& info) { return info.param.name; });

TEST_F(FileTransfer, ReadFailureOfTheBackendLeavesAPartialFileAndAnswersWriteError) {
    scanOnePage(profile(100, simscanner::kGrey, 1, false, ", \"faults\": {\"dataAtFails\": true}"));
    ASSERT_EQ(setupFile(scratch("unreadable.bmp"), TWFF_BMP), TWRC_SUCCESS);
    EXPECT_EQ(transferFile(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_FILEWRITEERROR);
}

TEST_F(FileTransfer, NameFillingTheWholeFieldIsReadToItsEndOnly) {
    // 256 bytes without a zero: the folder, "./" steps, then a name ending exactly at the field's end.
    std::string path = testsupport::scratchDirectory();
    const std::string name = "full-field.bmp";
    while (path.size() + name.size() < 256)
        path += (256 - path.size() - name.size()) % 2 ? "/" : "./";
    path += name;
    ASSERT_EQ(path.size(), 256u);
    scanOnePage(profile(100, simscanner::kGrey, 1, false));
    TW_SETUPFILEXFER setup{};
    std::memcpy(setup.FileName, path.data(), 256);
    setup.Format = TWFF_BMP;
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    TW_SETUPFILEXFER back{};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &back), TWRC_SUCCESS);
    EXPECT_EQ(std::memcmp(back.FileName, path.data(), 256), 0);
    ASSERT_EQ(transferFile(), TWRC_XFERDONE) << "condition " << condition();
    EXPECT_TRUE(fileExists(testsupport::scratchDirectory() + name));
}

TEST_F(FileTransfer, SetupAnswersDefaultsAndResetMakesAFreshTemporaryName) {
    openSource();
    TW_SETUPFILEXFER setup{};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, &setup), TWRC_SUCCESS);
    EXPECT_STREQ(setup.FileName, "TSTwain.bmp");
    EXPECT_EQ(setup.Format, TWFF_BMP);
    ASSERT_EQ(setupFile(scratch("chosen.tif"), TWFF_TIFF), TWRC_SUCCESS);

    std::string names[2];
    for (std::string& name : names) {
        TW_SETUPFILEXFER reset{};
        ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, &reset), TWRC_SUCCESS);
        TW_SETUPFILEXFER current{};
        ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &current), TWRC_SUCCESS);
        EXPECT_EQ(current.Format, TWFF_BMP);
        name = std::string(current.FileName, strnlen(current.FileName, 256));
        EXPECT_EQ(name.rfind(platform::temporaryDirectory() + "TS", 0), 0u) << name;
        EXPECT_FALSE(fileExists(name));
    }
    EXPECT_NE(names[0], names[1]);
}

TEST_F(FileTransfer, WithoutImageIsASequenceError) {
    openSource();
    EXPECT_EQ(transferFile(), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
}

} // namespace
