// Acquisition end to end: how a job starts (with or without the device's interface) and ends (the
// scanner's events, a jam), the enable refusals, the pending-transfer messages around an unfinished
// memory page, flow mode, Group 4 memory transfers and a job driven by negotiation alone.
#include "tests/transfer/TransferSupport.h"

#include "platform/Platform.h"
#include "twain/Fix32.h"

#include <cstdio>

using namespace Twpp;
using namespace transfertest;

namespace {

constexpr int kDpi = 100;

class Acquisition : public TransferTest {
protected:
    bool journalHas(const std::string& text) { return journal().find(text) != std::string::npos; }

    // One MSG_PROCESSEVENT as a message loop sends it: never the source's event, and the record is
    // the application's (its message is left alone). Answers the notifications it caused.
    std::vector<uint16_t> forwardEvent() {
        TW_EVENT event{};
        event.TWMessage = 0x7777;
        EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
        EXPECT_EQ(event.TWMessage, 0x7777);
        return takeNotifications();
    }

    // An application's whole job: forwards events, transfers every announced page natively (checked
    // against the chart) until the count is 0, and collects the other notifications up to
    // MSG_CLOSEDSOK.
    struct Job {
        int pages = 0;
        std::vector<uint16_t> closing;
    };
    Job runJob(int colourMode, bool duplex) {
        Job job;
        for (int poll = 0; poll < 100; ++poll) {
            for (const uint16_t msg : forwardEvent()) {
                if (msg != MSG_XFERREADY) {
                    job.closing.push_back(msg);
                    if (msg == MSG_CLOSEDSOK)
                        return job;
                    continue;
                }
                do {
                    EXPECT_TRUE(nativePage() ==
                                simscanner::renderPage(pageOfJob(job.pages, kDpi, colourMode, duplex)))
                        << "page " << job.pages;
                    ++job.pages;
                } while (endTransfer() != 0 && job.pages < 20);
            }
        }
        ADD_FAILURE() << "the job never ended";
        return job;
    }

    // One memory strip into `buffer`.
    uint16_t memoryStrip(std::vector<uint8_t>& buffer, TW_IMAGEMEMXFER& strip) {
        strip = TW_IMAGEMEMXFER{};
        strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, uint32_t(buffer.size()), buffer.data()};
        return call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
    }

    // A whole page in strips of `length` bytes, each expected right below the one before; empty when
    // a strip fails.
    std::vector<uint8_t> memoryPage(uint32_t length) {
        std::vector<uint8_t> buffer(length);
        std::vector<uint8_t> rows;
        uint32_t rowsSoFar = 0;
        for (int strips = 0; strips < 100000; ++strips) {
            TW_IMAGEMEMXFER strip{};
            const uint16_t rc = memoryStrip(buffer, strip);
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
                ADD_FAILURE() << "strip failed, condition " << condition();
                return {};
            }
            EXPECT_EQ(strip.YOffset, rowsSoFar);
            rows.insert(rows.end(), buffer.begin(), buffer.begin() + strip.BytesWritten);
            rowsSoFar += strip.Rows;
            if (rc == TWRC_XFERDONE)
                return rows;
        }
        ADD_FAILURE() << "the page never ended";
        return {};
    }

    TW_SETUPMEMXFER setupMemory() {
        TW_SETUPMEMXFER setup{};
        EXPECT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS)
            << "condition " << condition();
        return setup;
    }

    // Negotiation is admitted in state 4 only.
    bool isInStateFour() { return setOneValue(CAP_XFERCOUNT, TWTY_INT16, int16_t(-1)) == TWRC_SUCCESS; }
};

// --- Start and end of a job ---

struct JobCase {
    const char* name;
    std::string profile;
    bool showUi;
    int pages;
    std::vector<uint16_t> closing;
    bool stopsScanner;
};
void PrintTo(const JobCase& c, std::ostream* os) { *os << c.name; }
class JobLifecycle : public Acquisition, public ::testing::WithParamInterface<JobCase> {};

TEST_P(JobLifecycle, StartsAndEndsAsTheScannerSays) {
    const JobCase& c = GetParam();
    useProfile(c.profile);
    openSource();
    ASSERT_EQ(enable(c.showUi), TWRC_SUCCESS) << "condition " << condition();
    // With its interface shown the device starts the scan itself, later.
    EXPECT_EQ(journalHas("show_user_interface mode=1"), c.showUi) << journal();
    EXPECT_EQ(journalHas("start_scan\n"), !c.showUi) << journal();

    const Job job = runJob(simscanner::kGrey, false);
    EXPECT_EQ(job.pages, c.pages);
    EXPECT_EQ(job.closing, c.closing);
    const std::string calls = journal();
    EXPECT_EQ(calls.find("stop_scan") != std::string::npos, c.stopsScanner) << calls;
    EXPECT_NE(calls.find("close_user_interface"), std::string::npos) << calls;
    if (c.showUi && c.pages > 0) {
        EXPECT_LT(calls.find("show_indicators"), calls.find("start_scan")) << calls;
    }
    // MSG_CLOSEDSOK left the instance in state 5: the application disables it.
    TW_USERINTERFACE ui{};
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_TRUE(isInStateFour());
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobLifecycle,
                         ::testing::Values(
                             // Event 0x1000: a null message first, then MSG_CLOSEDSOK.
                             JobCase{"ScannerStopsAfterTheLastPage",
                                     profile(kDpi, simscanner::kGrey, 2, false),
                                     false,
                                     2,
                                     {MSG_NULL, MSG_CLOSEDSOK},
                                     true},
                             JobCase{"JamEndsTheJobEarly",
                                     profile(kDpi, simscanner::kGrey, 3, false,
                                             ", \"faults\": {\"jamAfterPages\": 2}"),
                                     false,
                                     2,
                                     {MSG_NULL, MSG_CLOSEDSOK},
                                     true},
                             // Event 0x1002 from the device's interface starts the scan.
                             JobCase{"DeviceInterfaceStartsTheScan",
                                     profile(kDpi, simscanner::kGrey, 2, false,
                                             ", \"ui\": {\"action\": \"scan\", \"afterPolls\": 2}"),
                                     true,
                                     2,
                                     {MSG_NULL, MSG_CLOSEDSOK},
                                     true},
                             // Event 0x1001: the user closed the device's interface without scanning.
                             JobCase{"DeviceInterfaceClosed",
                                     profile(kDpi, simscanner::kGrey, 2, false,
                                             ", \"ui\": {\"action\": \"close\", \"afterPolls\": 2}"),
                                     true,
                                     0,
                                     {MSG_CLOSEDSOK},
                                     false}),
                         [](const auto& info) { return info.param.name; });

struct EnableCase {
    const char* name;
    const char* profileExtra;
    uint16_t msg;
    bool showUi;
    uint16_t returnCode;
    uint16_t condition;
    const char* journalLine;
};
void PrintTo(const EnableCase& c, std::ostream* os) { *os << c.name; }
class Enable : public Acquisition, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(Enable, AnswersAndStartsNoScan) {
    const EnableCase& c = GetParam();
    useProfile(std::string("{\"base\": \"default\"") + c.profileExtra + "}");
    openSource();
    TW_USERINTERFACE ui{};
    ui.ShowUI = c.showUi;
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, c.msg, &ui), c.returnCode);
    EXPECT_EQ(condition(), c.condition);
    EXPECT_TRUE(journalHas(c.journalLine)) << journal();
    EXPECT_FALSE(journalHas("start_scan\n")) << journal();
    if (c.returnCode == TWRC_FAILURE) {
        EXPECT_TRUE(isInStateFour()) << "a refused enable stays in state 4";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Enable,
    ::testing::Values(EnableCase{"IndicatorsRefused", ", \"showIndicators\": false", MSG_ENABLEDS, false,
                                 TWRC_FAILURE, TWCC_SEQERROR, "show_indicators\n"},
                      EnableCase{"StartScanFails", ", \"faults\": {\"startScanStatus\": 56841}", MSG_ENABLEDS,
                                 false, TWRC_FAILURE, TWCC_BUMMER, "start_scan status=56841\n"},
                      EnableCase{"EmptyFeeder", ", \"feeder\": {\"loaded\": false}", MSG_ENABLEDS, false,
                                 TWRC_FAILURE, TWCC_BUMMER, "start_scan status="},
                      EnableCase{"DeviceInterfaceRefused", ", \"showUserInterface\": false", MSG_ENABLEDS,
                                 true, TWRC_FAILURE, TWCC_SEQERROR, "show_user_interface mode=1"},
                      // The settings-only interface: mode 0, whatever ShowUI says.
                      EnableCase{"UiOnly", "", MSG_ENABLEDSUIONLY, false, TWRC_SUCCESS, TWCC_SUCCESS,
                                 "show_user_interface mode=0 indicators=1\n"},
                      EnableCase{"UiOnlyRefused", ", \"showUserInterface\": false", MSG_ENABLEDSUIONLY, true,
                                 TWRC_FAILURE, TWCC_SEQERROR, "show_user_interface mode=0"}),
    [](const auto& info) { return info.param.name; });

// --- Pending transfers around a page ---

TEST_F(Acquisition, EndingAnUnfinishedMemoryPageMovesOnToTheNextPage) {
    useProfile(profile(kDpi, simscanner::kGrey, 2, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    const uint32_t rowBytes = uint32_t(simscanner::rowBytes(pageOfJob(0, kDpi, simscanner::kGrey, false)));
    std::vector<uint8_t> tenRows(10 * rowBytes);
    TW_IMAGEMEMXFER strip{};
    ASSERT_EQ(memoryStrip(tenRows, strip), TWRC_SUCCESS) << "state 7 with the page unfinished";
    EXPECT_EQ(endTransfer(), 1);
    EXPECT_EQ(testsupport::SimulatedBackend::instance().liveImages(), 0) << "the first page is let go";
    EXPECT_TRUE(memoryPage(16 * rowBytes) ==
                simscanner::renderPage(pageOfJob(1, kDpi, simscanner::kGrey, false)))
        << "the second page, from its first row";
    EXPECT_EQ(endTransfer(), 0);
}

TEST_F(Acquisition, PageLeftPendingByResetIsAnnouncedAgain) {
    useProfile(profile(kDpi, simscanner::kGrey, 2, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    EXPECT_TRUE(nativePage() == simscanner::renderPage(pageOfJob(0, kDpi, simscanner::kGrey, false)));
    // Counting the rest scans the second page; the reset keeps it at the backend.
    EXPECT_EQ(endTransfer(), 1);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 1);
    // State 5: the waiting page is announced once more.
    ASSERT_TRUE(waitForImage());
    // In state 6 the same news sends nothing.
    for (int poll = 0; poll < 3; ++poll)
        EXPECT_TRUE(forwardEvent().empty());
    EXPECT_TRUE(nativePage() == simscanner::renderPage(pageOfJob(1, kDpi, simscanner::kGrey, false)));
    EXPECT_EQ(endTransfer(), 0);
}

// --- Flow mode ---

class FlowMode : public Acquisition {
protected:
    void SetUp() override {
        Acquisition::SetUp();
        std::ofstream(configPath()) << "[twain-app]\nflow=1\n";
    }
    void TearDown() override {
        std::remove(configPath().c_str());
        Acquisition::TearDown();
    }
    static std::string configPath() { return platform::wideToUtf8(host::programDirectory()) + "/first.cfg"; }
};

TEST_F(FlowMode, MemoryTransfersWaitForTheNextPageAndInformationFollowsTheRecord) {
    useProfile(profile(kDpi, simscanner::kGrey, 2, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    const simscanner::PageSpec first = pageOfJob(0, kDpi, simscanner::kGrey, false);
    const uint32_t length = 64 * uint32_t(simscanner::rowBytes(first));
    EXPECT_TRUE(memoryPage(length) == simscanner::renderPage(first));
    // No MSG_ENDXFER: the next transfer waits for the second page instead of ending the job.
    EXPECT_TRUE(memoryPage(length) == simscanner::renderPage(pageOfJob(1, kDpi, simscanner::kGrey, false)));
    EXPECT_TRUE(takeNotifications().empty());

    // The description comes from the record the last page filled, once; then the backend has none.
    TW_IMAGEINFO info = imageInfo();
    EXPECT_EQ(info.ImageWidth, simscanner::pageWidth(first));
    EXPECT_EQ(info.ImageLength, simscanner::pageHeight(first));
    EXPECT_EQ(info.PixelType, TWPT_GRAY);
    EXPECT_TRUE(takeNotifications().empty());
    info = TW_IMAGEINFO{};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(condition(), TWCC_BUMMER);
    EXPECT_EQ(takeNotifications(), std::vector<uint16_t>{MSG_CLOSEDSOK});
}

TEST_F(FlowMode, MemorySetupDisablesTheSourceWhenNoPageComesAnyMore) {
    useProfile(profile(kDpi, simscanner::kGrey, 1, false));
    openSource();
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    const simscanner::PageSpec page = pageOfJob(0, kDpi, simscanner::kGrey, false);
    EXPECT_EQ(setupMemory().MinBufSize, uint32_t(simscanner::rowBytes(page)));
    EXPECT_TRUE(memoryPage(1 << 16) == simscanner::renderPage(page));
    ASSERT_EQ(endTransfer(), 0);

    TW_SETUPMEMXFER setup{111, 222, 333};
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(setup.Preferred, 1u);
    EXPECT_EQ(setup.MinBufSize, 111u);
    EXPECT_EQ(setup.MaxBufSize, 222u);
    EXPECT_TRUE(journalHas("stop_scan")) << journal();
    EXPECT_TRUE(isInStateFour());
}

// --- Group 4 memory transfers ---

struct Group4Case {
    const char* name;
    // Buffer lengths tried in turn, relative to the compressed size; all but the last are refused.
    std::vector<int> lengthOffsets;
};
void PrintTo(const Group4Case& c, std::ostream* os) { *os << c.name; }
class Group4Memory : public Acquisition, public ::testing::WithParamInterface<Group4Case> {};

TEST_P(Group4Memory, TheWholeCompressedPageComesInOneCall) {
    useProfile(profile(kDpi, simscanner::kColour, 1, false));
    openSource();
    ASSERT_EQ(setOneValue(ICAP_XFERMECH, TWTY_UINT16, uint16_t(TWSX_MEMORY)), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, uint16_t(TWPT_BW)), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(ICAP_COMPRESSION, TWTY_UINT16, uint16_t(TWCP_GROUP4)), TWRC_SUCCESS);
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    ASSERT_TRUE(waitForImage());
    const simscanner::PageSpec page = pageOfJob(0, kDpi, simscanner::kBlackAndWhite, false);
    const uint32_t uncompressed = uint32_t(simscanner::rowBytes(page) * simscanner::pageHeight(page));

    const TW_IMAGEINFO info = imageInfo();
    EXPECT_EQ(info.PixelType, TWPT_BW);
    EXPECT_EQ(info.Compression, TWCP_GROUP4);
    EXPECT_EQ(info.BitsPerPixel, 1);
    const TW_SETUPMEMXFER setup = setupMemory();
    const uint32_t compressed = setup.Preferred;
    EXPECT_EQ(setup.MinBufSize, compressed);
    EXPECT_EQ(setup.MaxBufSize, compressed);
    // Natively the simulator encodes Group 4; the cross build's has no encoder and hands out the rows.
    EXPECT_LE(compressed, uncompressed);

    const std::vector<int>& offsets = GetParam().lengthOffsets;
    for (std::size_t attempt = 0; attempt + 1 < offsets.size(); ++attempt) {
        std::vector<uint8_t> small(compressed + offsets[attempt]);
        TW_IMAGEMEMXFER strip{};
        EXPECT_EQ(memoryStrip(small, strip), TWRC_FAILURE);
        EXPECT_EQ(condition(), TWCC_BADVALUE);
    }
    std::vector<uint8_t> buffer(compressed + offsets.back(), 0xA5);
    TW_IMAGEMEMXFER strip{};
    ASSERT_EQ(memoryStrip(buffer, strip), TWRC_XFERDONE) << "condition " << condition();
    EXPECT_EQ(strip.Compression, TWCP_GROUP4);
    EXPECT_EQ(strip.BytesWritten, compressed);
    EXPECT_EQ(strip.Rows, uint32_t(simscanner::pageHeight(page)));
    EXPECT_EQ(strip.Columns, uint32_t(simscanner::pageWidth(page)));
    EXPECT_EQ(strip.YOffset, 0u);
    EXPECT_TRUE(std::all_of(buffer.begin() + compressed, buffer.end(), [](uint8_t b) { return b == 0xA5; }))
        << "written past the compressed data";
    EXPECT_EQ(endTransfer(), 0);
}

INSTANTIATE_TEST_SUITE_P(Buffers, Group4Memory,
                         ::testing::Values(Group4Case{"ExactSize", {0}},
                                           Group4Case{"TooSmallThenLargeEnough", {-1, 64}}),
                         [](const auto& info) { return info.param.name; });

// --- A job set up by negotiation alone ---

TEST_F(Acquisition, NegotiatedMemoryJobDeliversTheAskedPages) {
    useProfile("default"); // 3 sheets, both sides, colour at 200 dpi
    openSource();
    ASSERT_EQ(setOneValue(ICAP_XFERMECH, TWTY_UINT16, uint16_t(TWSX_MEMORY)), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, Fix32(150.0f).toSlot()), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, uint16_t(TWPT_GRAY)), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(CAP_XFERCOUNT, TWTY_INT16, int16_t(2)), TWRC_SUCCESS);
    ASSERT_EQ(enable(), TWRC_SUCCESS);
    EXPECT_TRUE(journalHas("set_transfer_mechanism 2\n")) << journal();
    ASSERT_TRUE(waitForImage());
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        const simscanner::PageSpec page = pageOfJob(n, 150, simscanner::kGrey, true);
        const TW_IMAGEINFO info = imageInfo();
        EXPECT_EQ(info.ImageWidth, simscanner::pageWidth(page));
        EXPECT_EQ(info.ImageLength, simscanner::pageHeight(page));
        EXPECT_EQ(info.PixelType, TWPT_GRAY);
        EXPECT_EQ(info.BitsPerPixel, 8);
        EXPECT_EQ(info.XResolution.Whole, 150);
        const TW_SETUPMEMXFER setup = setupMemory();
        EXPECT_EQ(setup.MinBufSize, uint32_t(simscanner::rowBytes(page)));
        EXPECT_TRUE(memoryPage(32 * setup.Preferred) == simscanner::renderPage(page)) << "pixels differ";
        EXPECT_EQ(endTransfer(), n == 0 ? 1 : 0);
    }
    EXPECT_EQ(pumpUntil(MSG_CLOSEDSOK), MSG_CLOSEDSOK);
}

} // namespace
