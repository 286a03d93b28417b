// Native and memory transfers end to end: every page of a job through the feeder, both sides,
// checked pixel for pixel against the chart the simulated scanner drew.
#include "tests/transfer/TransferSupport.h"

using namespace Twpp;
using namespace transfertest;

namespace {

class NativeTransfer : public TransferTest {};

struct ModeCase {
    const char* name;
    int colourMode;
};
class NativeByMode : public TransferTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(NativeByMode, DuplexJobDeliversEveryPageAsTheChartThenEnds) {
    const int mode = GetParam().colourMode;
    testsupport::useProfile(profile(100, mode, 2, true));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        // After MSG_ENDXFER with a count the source is already in state 6 for the next page.
        if (n == 0) {
            ASSERT_TRUE(waitForImage());
        }
        const simscanner::PageSpec page = pageOfJob(n, 100, mode, true);
        const TW_IMAGEINFO info = imageInfo();
        EXPECT_EQ(info.ImageWidth, simscanner::pageWidth(page));
        EXPECT_EQ(info.ImageLength, simscanner::pageHeight(page));
        EXPECT_EQ(info.BitsPerPixel, simscanner::bitsPerPixel(mode));
        EXPECT_TRUE(nativePage() == simscanner::renderPage(page)) << "pixels differ from the chart";
        EXPECT_EQ(endTransfer(), n < 3 ? 1 : 0);
    }
    // The job is over: the scanner says so with 0x1000, a null message and then MSG_CLOSEDSOK.
    EXPECT_EQ(pumpUntil(MSG_CLOSEDSOK), MSG_CLOSEDSOK);
}

INSTANTIATE_TEST_SUITE_P(Modes, NativeByMode,
                         ::testing::Values(ModeCase{"Colour", simscanner::kColour},
                                           ModeCase{"Grey", simscanner::kGrey},
                                           ModeCase{"BlackAndWhite", simscanner::kBlackAndWhite}),
                         [](const auto& info) { return info.param.name; });

TEST_F(NativeTransfer, SmallChunksOfTheBackendMakeTheSameDib) {
    testsupport::useProfile(
        profile(100, simscanner::kColour, 1, false, ", \"faults\": {\"chunkBytes\": 4099}"));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    EXPECT_TRUE(nativePage() == simscanner::renderPage(pageOfJob(0, 100, simscanner::kColour, false)));
}

TEST_F(NativeTransfer, WithoutImageOrInTheWrongStateIsASequenceError) {
    openSource();
    Handle handle = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_EQ(handle, nullptr);
}

// --- Memory transfers ---

// An application's strip loop: buffers of `length` bytes (by pointer or by handle) until
// TWRC_XFERDONE, each strip put in place by its YOffset; checks the strip bookkeeping on the way.
struct StripResult {
    std::vector<uint8_t> rows;
    int strips = 0;
    bool ok = false;
};

class MemoryTransfer : public TransferTest {
protected:
    // The page's geometry comes from the test's own knowledge of the chart, so the loop also works
    // for a retry after a refused strip, when the page is no longer pending at the backend.
    StripResult transferStrips(const simscanner::PageSpec& page, uint32_t length, bool byHandle) {
        StripResult result;
        const uint32_t rowBytes = uint32_t(simscanner::rowBytes(page));
        const uint32_t height = uint32_t(simscanner::pageHeight(page));
        result.rows.assign(std::size_t(rowBytes) * height, 0xEE);
        std::vector<uint8_t> buffer(byHandle ? 0 : length);
        Handle handle = byHandle ? host::hostAllocate(length) : nullptr;
        uint32_t expectedRow = 0;
        for (;;) {
            TW_IMAGEMEMXFER strip{};
            strip.Memory.Flags = TWMF_APPOWNS | (byHandle ? TWMF_HANDLE : TWMF_POINTER);
            strip.Memory.Length = length;
            strip.Memory.TheMem = byHandle ? handle : buffer.data();
            const uint16_t rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
                ADD_FAILURE() << "strip " << result.strips << " failed, condition " << condition();
                break;
            }
            ++result.strips;
            EXPECT_EQ(strip.BytesPerRow, rowBytes);
            EXPECT_EQ(strip.Columns, uint32_t(simscanner::pageWidth(page)));
            EXPECT_EQ(strip.YOffset, expectedRow);
            EXPECT_EQ(strip.BytesWritten, strip.Rows * rowBytes);
            EXPECT_LE(strip.BytesWritten, length);
            if (strip.YOffset + strip.Rows > height) {
                ADD_FAILURE() << "strip past the image";
                break;
            }
            const uint8_t* from = byHandle ? static_cast<uint8_t*>(host::hostLock(handle)) : buffer.data();
            std::memcpy(result.rows.data() + std::size_t(strip.YOffset) * rowBytes, from, strip.BytesWritten);
            if (byHandle)
                host::hostUnlock(handle);
            expectedRow += strip.Rows;
            if (rc == TWRC_XFERDONE) {
                result.ok = expectedRow == height;
                break;
            }
        }
        if (handle)
            host::hostFree(handle);
        return result;
    }

    uint16_t oneStrip(std::vector<uint8_t>& buffer) {
        TW_IMAGEMEMXFER strip{};
        strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(buffer.size()), buffer.data()};
        return call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
    }
};

struct StripCase {
    const char* name;
    int colourMode;
    // Buffer length in rows plus extra bytes, so lengths that are no multiple of the row are covered.
    uint32_t rowsPerBuffer;
    uint32_t extraBytes;
    bool byHandle;
};
class MemoryStrips : public MemoryTransfer, public ::testing::WithParamInterface<StripCase> {};

TEST_P(MemoryStrips, AssembleToTheChart) {
    const StripCase c = GetParam();
    testsupport::useProfile(profile(100, c.colourMode, 1, true));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        // After MSG_ENDXFER with a count the source is already in state 6 for the next page.
        if (n == 0) {
            ASSERT_TRUE(waitForImage());
        }
        const simscanner::PageSpec page = pageOfJob(n, 100, c.colourMode, true);
        const uint32_t rowBytes = uint32_t(simscanner::rowBytes(page));
        const uint32_t length = c.rowsPerBuffer * rowBytes + c.extraBytes;
        TW_SETUPMEMXFER setup{};
        ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
        EXPECT_EQ(setup.MinBufSize, rowBytes);
        EXPECT_EQ(setup.Preferred % 4, 0u);
        const StripResult result = transferStrips(page, length, c.byHandle);
        EXPECT_TRUE(result.ok);
        const int height = simscanner::pageHeight(page);
        EXPECT_EQ(result.strips, (height + int(c.rowsPerBuffer) - 1) / int(c.rowsPerBuffer));
        EXPECT_TRUE(result.rows == simscanner::renderPage(page)) << "pixels differ from the chart";
        EXPECT_EQ(endTransfer(), n == 0 ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Buffers, MemoryStrips,
                         ::testing::Values(StripCase{"OneRowExactly", simscanner::kColour, 1, 0, false},
                                           StripCase{"OddLengthColour", simscanner::kColour, 3, 7, false},
                                           StripCase{"OddLengthGreyByHandle", simscanner::kGrey, 250, 1,
                                                     true},
                                           StripCase{"BlackAndWhiteLargerThanThePage",
                                                     simscanner::kBlackAndWhite, 5000, 0, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(MemoryTransfer, BufferSmallerThanOneRowIsRefusedAndThePageWaitsForARetry) {
    testsupport::useProfile(profile(100, simscanner::kGrey, 1, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    const simscanner::PageSpec page = pageOfJob(0, 100, simscanner::kGrey, false);
    std::vector<uint8_t> small(simscanner::rowBytes(page) - 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        TW_IMAGEMEMXFER strip{};
        strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(small.size()), small.data()};
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_BADVALUE);
    }
    // Still state 6 with the same page: a proper buffer gets all of it.
    const StripResult result = transferStrips(page, 10000, false);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.rows == simscanner::renderPage(page));
    EXPECT_EQ(endTransfer(), 0);
}

TEST_F(MemoryTransfer, UnfinishedPageIsDroppedByReset) {
    testsupport::useProfile(profile(100, simscanner::kGrey, 2, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(oneStrip(buffer), TWRC_SUCCESS);
    // The application gives up on the page: back to state 6, then drops what is pending.
    EXPECT_EQ(endTransfer(), 1);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(testsupport::SimulatedBackend::instance().liveImages(), 0);
}

TEST_F(MemoryTransfer, UnfinishedPageIsDroppedByClose) {
    testsupport::useProfile(profile(100, simscanner::kGrey, 1, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(oneStrip(buffer), TWRC_SUCCESS);
    // The fixture disables and closes, and checks that no image object outlives the session.
}

TEST_F(MemoryTransfer, NoFurtherImageEndsTheJob) {
    testsupport::useProfile(profile(100, simscanner::kGrey, 1, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    ASSERT_TRUE(transferStrips(pageOfJob(0, 100, simscanner::kGrey, false), 1 << 20, false).ok);
    // An application that asks for one more strip instead of ending the transfer.
    std::vector<uint8_t> buffer(1 << 16);
    TW_IMAGEMEMXFER strip{};
    strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(buffer.size()), buffer.data()};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_SEQERROR);
    EXPECT_TRUE(takeNotification(MSG_CLOSEDSOK));
}

TEST_F(MemoryTransfer, ReadFailureEndsTheImageWithBummer) {
    testsupport::useProfile(profile(100, simscanner::kGrey, 1, false, ", \"faults\": {\"readFails\": true}"));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    std::vector<uint8_t> buffer(1 << 16);
    TW_IMAGEMEMXFER strip{};
    strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(buffer.size()), buffer.data()};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_XFERDONE);
    EXPECT_EQ(condition(), TWCC_BUMMER);
}

} // namespace
