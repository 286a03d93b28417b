// The simulated scanner through its exported entry points: profiles, options, the scanning model,
// the user interface and the injected faults.
#include "SimBackendFixture.h"

#include "platform/PlatformTesting.h"

#include <map>
#include <set>

namespace simtest {
namespace {

using backend::ScannerObject;

class SimScanner : public SimBackendTest {};

TEST_F(SimScanner, ProfileComesFromEnvironmentThenRegistryThenDefault) {
    EXPECT_TRUE(open().has_indicators()) << "nothing configured: the default profile";
    EXPECT_GE(index(5), 1);

    platform::testing::writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"SimulatorProfile", L"minimal");
    EXPECT_FALSE(open().has_indicators());
    EXPECT_EQ(index(5), -1);

    setenv("TARSIN_SIM_PROFILE", "default", 1);
    EXPECT_TRUE(open().has_indicators());
}

TEST_F(SimScanner, DefaultProfileHasEveryRoleUnderItsOwnIndex) {
    open();
    std::set<int32_t> indexes;
    for (int role = 1; role <= backend::kRoleCount; ++role) {
        const int32_t optionIndex = index(role);
        ASSERT_GE(optionIndex, 1) << "role " << role;
        indexes.insert(optionIndex);
        int32_t valueType = 0;
        int32_t constraint = -1;
        EXPECT_TRUE(m_scanner->get_option_info(optionIndex, &valueType, &constraint, nullptr)) << role;
    }
    EXPECT_EQ(indexes.size(), static_cast<size_t>(backend::kRoleCount));
    EXPECT_FALSE(m_scanner->get_option_info(0, nullptr, nullptr, nullptr));
    EXPECT_FALSE(m_scanner->get_option_info(backend::kRoleCount + 1, nullptr, nullptr, nullptr));
}

TEST_F(SimScanner, ProfileMergesOverItsBase) {
    openWith(R"({"base": "default", "indicators": false,
                 "options": {"24": {"default": 300}, "5": null, "73": {"default": "X-1"}}})");
    EXPECT_FALSE(m_scanner->has_indicators());
    EXPECT_EQ(index(5), -1);
    EXPECT_GE(index(30), 1) << "untouched roles stay";
    const auto resolution = report(24);
    ASSERT_EQ(resolution.size(), 7u) << "the list is kept from the base";
    for (const Reported& value : resolution)
        EXPECT_EQ((value.flags & backend::kReportCurrent) != 0, value.number == 300);
    ASSERT_EQ(report(73).size(), 2u);
    EXPECT_EQ(report(73)[0].text, "X-1");
}

TEST_F(SimScanner, UnreadableProfileRefusesToOpen) {
    for (const char* profile :
         {"{not json", R"({"options": {"24": {"type": "colour"}}})", R"({"base": "no-such-profile"})"}) {
        useProfile(profile);
        ScannerObject* scanner = nullptr;
        EXPECT_NE(lib().openScanner(backend::kDeviceModel, &scanner), 0) << profile;
        EXPECT_EQ(scanner, nullptr);
    }
    ScannerObject* scanner = nullptr;
    EXPECT_NE(lib().openScanner(0x1234, &scanner), 0) << "another model";
    EXPECT_EQ(scanner, nullptr);
}

TEST_F(SimScanner, ListReportsEachValueOnceWithCurrentAndDefaultFlags) {
    open();
    ASSERT_EQ(setInteger(24, 300), 0);
    const auto values = report(24);
    std::vector<double> listed;
    for (const Reported& value : values) {
        EXPECT_EQ(value.flags & backend::kReportStep, 0u);
        listed.push_back(value.number);
        EXPECT_EQ((value.flags & backend::kReportCurrent) != 0, value.number == 300);
        EXPECT_EQ((value.flags & backend::kReportDefault) != 0, value.number == 200);
    }
    EXPECT_EQ(listed, (std::vector<double>{100, 150, 200, 240, 300, 400, 600}));
    EXPECT_NE(std::string(lib().journal()).find("set_option_value role=24 value=300\n"), std::string::npos);
}

TEST_F(SimScanner, RangeReportsLimitsStepCurrentAndDefault) {
    open();
    ASSERT_EQ(setInteger(30, 200), 0);
    const std::map<uint32_t, double> expected = {{backend::kReportMinimum, 1},
                                                 {backend::kReportMaximum, 255},
                                                 {backend::kReportStep, 1},
                                                 {backend::kReportCurrent, 200},
                                                 {backend::kReportDefault, 128}};
    uint32_t seen = 0;
    for (const Reported& value : report(30)) {
        seen |= value.flags;
        ASSERT_EQ(expected.count(value.flags), 1u) << "one flag per report: " << value.flags;
        EXPECT_EQ(value.number, expected.at(value.flags)) << value.flags;
    }
    EXPECT_EQ(seen, 0x1Fu);
}

TEST_F(SimScanner, FileFormatsCrossAsSixteenByteRecords) {
    open();
    struct Formats {
        std::vector<uint16_t> codes;
        uint16_t current = 0xFFFF;
    } formats;
    auto collectRecord = [](const void* value, uint32_t flags, void* collector) {
        auto& into = *static_cast<Formats*>(collector);
        const uint16_t code = *static_cast<const uint16_t*>(value);
        into.codes.push_back(code);
        if (flags & backend::kReportCurrent)
            into.current = code;
        return true;
    };
    ASSERT_TRUE(m_scanner->enum_option_values(index(72), collectRecord, &formats));
    EXPECT_EQ(formats.codes, (std::vector<uint16_t>{0, 2, 4}));
    EXPECT_EQ(formats.current, 2);
}

struct SetCase {
    int role;
    int32_t value;
    bool isAccepted;
};

TEST_F(SimScanner, SetChecksListRangeAndBooleans) {
    open();
    const SetCase cases[] = {
        {24, 240, true}, {24, 250, false},                                    // resolution list
        {30, 1, true},   {30, 255, true},  {30, 0, false},  {30, 256, false}, // brightness range
        {2, 10, true},   {2, 12, false},                                      // range with step 5
        {47, -1, true},  {47, 5, true},    {47, -2, false},
    };
    for (const SetCase& item : cases)
        EXPECT_EQ(setInteger(item.role, item.value) == 0, item.isAccepted)
            << item.role << " = " << item.value;
    EXPECT_EQ(setBoolean(64, 0), 0);
    EXPECT_EQ(setBoolean(64, 1), 0);
    EXPECT_NE(setBoolean(64, 2), 0);
    const float gain = 1.5f;
    EXPECT_EQ(m_scanner->set_option_value(index(42), &gain), 0);
    const float tooLarge = 10.5f;
    EXPECT_NE(m_scanner->set_option_value(index(42), &tooLarge), 0);
    const std::string photo = "Photo";
    const std::string unknown = "Sepia";
    EXPECT_EQ(m_scanner->set_option_value(index(11), &photo), 0);
    EXPECT_NE(m_scanner->set_option_value(index(11), &unknown), 0);
    EXPECT_EQ(report(11)[1].flags & backend::kReportCurrent, backend::kReportCurrent);
    int32_t value = 1;
    EXPECT_NE(m_scanner->set_option_value(-1, &value), 0);
    EXPECT_NE(m_scanner->set_option_value(1000, &value), 0);
}

TEST_F(SimScanner, PollingScansEachPageThenReportsTheStopOnce) {
    open(); // 3 sheets, duplex on: 6 pages
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone) << "nothing before a job";
    ASSERT_EQ(m_scanner->start_scan(), 0);
    int pages = 0;
    for (int poll = 0; poll < 20; ++poll) {
        const int32_t event = m_scanner->poll_event();
        if (event == backend::kEventStopped)
            break;
        ASSERT_EQ(event, backend::kEventImageReady);
        // An untaken page is announced again and blocks the next one.
        EXPECT_EQ(m_scanner->poll_event(), backend::kEventImageReady);
        EXPECT_EQ(m_scanner->count_images(0), 1);
        EXPECT_EQ(lib().pendingImages(), 1);
        backend::ImageObject* image = m_scanner->take_image(backend::kImageMemory);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(m_scanner->count_images(0), 0) << "a taken image is no longer counted";
        image->release();
        ++pages;
    }
    EXPECT_EQ(pages, 6);
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone);
    EXPECT_FALSE(m_scanner->wait_image(-1));
    EXPECT_EQ(m_scanner->take_image(backend::kImageMemory), nullptr);
}

TEST_F(SimScanner, WaitingScansLazilyAndCountingWithoutWaitDoesNot) {
    open();
    ASSERT_EQ(m_scanner->start_scan(), 0);
    EXPECT_EQ(m_scanner->count_images(0), 0);
    EXPECT_EQ(m_scanner->count_images(-1), 1);
    EXPECT_EQ(m_scanner->count_images(-1), 1) << "one page is made only when none is ready";
    EXPECT_TRUE(m_scanner->wait_image(-1));
    m_scanner->stop_scan();
    EXPECT_EQ(m_scanner->count_images(-1), 1) << "stopping keeps the pages already scanned";
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone) << "but a stopped job announces nothing";
    m_scanner->take_image(backend::kImageMemory)->release();
    EXPECT_FALSE(m_scanner->wait_image(-1));
    EXPECT_EQ(lib().pendingImages(), 0);
}

TEST_F(SimScanner, JobLengthFollowsSheetsDuplexTransferCountAndJam) {
    struct JobCase {
        const char* profile;
        int pages;
    } cases[] = {
        {R"({"base": "default"})", 6},
        {R"({"base": "default", "options": {"64": {"default": false}}})", 3},
        {R"({"base": "default", "options": {"47": {"default": 4}}})", 4},
        {R"({"base": "default", "faults": {"jamAfterPages": 1}})", 1},
        {R"({"base": "minimal"})", 1},
    };
    for (const JobCase& item : cases) {
        openWith(item.profile);
        ASSERT_EQ(m_scanner->start_scan(), 0) << item.profile;
        int pages = 0;
        while (m_scanner->wait_image(-1) && pages < 20) {
            m_scanner->take_image(backend::kImageNative)->release();
            ++pages;
        }
        EXPECT_EQ(pages, item.pages) << item.profile;
        EXPECT_EQ(m_scanner->poll_event(), backend::kEventStopped) << item.profile;
    }
}

TEST_F(SimScanner, ImageParamsDescribeTheNextPage) {
    openWith(
        R"({"base": "default", "options": {"24": {"default": 100}, "57": {"default": 0}, "59": {"default": 3}}})");
    backend::ImageParams params{};
    uint32_t compressed = 0;
    EXPECT_FALSE(m_scanner->get_image_params(&params, &compressed)) << "no job, no page";
    ASSERT_EQ(m_scanner->start_scan(), 0);
    ASSERT_TRUE(m_scanner->get_image_params(&params, &compressed));
    EXPECT_EQ(params.format, 0);
    EXPECT_EQ(params.depth, 1);
    EXPECT_EQ(params.pixels_per_line, 850);
    EXPECT_EQ(params.lines, 1100);
    EXPECT_EQ(params.bytes_per_line, 107);
    EXPECT_EQ(compressed, 107u * 1100);
    m_scanner->set_compression(5, 0);
    ASSERT_TRUE(m_scanner->get_image_params(&params, &compressed));
    EXPECT_LT(compressed, 107u * 1100) << "Group 4 size";
    EXPECT_EQ(m_scanner->count_images(0), 1) << "describing scans at most the one page";
}

TEST_F(SimScanner, StartScanRefusals) {
    struct RefusalCase {
        const char* profile;
        int32_t status;
    } cases[] = {
        {R"({"base": "default", "faults": {"startScanStatus": 56841}})", 56841},
        {R"({"base": "default", "faults": {"offline": true}})", 0xDE00},
        {R"({"base": "default", "online": false})", 0xDE00},
        {R"({"base": "default", "feeder": {"loaded": false}})", 0xDE07},
        {R"({"base": "default", "feeder": {"sheets": 0}})", 0xDE07},
    };
    for (const RefusalCase& item : cases) {
        openWith(item.profile);
        EXPECT_EQ(m_scanner->start_scan(), item.status) << item.profile;
        EXPECT_FALSE(m_scanner->wait_image(-1));
        EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone);
    }
    openWith(R"({"base": "default", "faults": {"offline": true}})");
    EXPECT_FALSE(m_scanner->is_online());
    EXPECT_EQ(lib().isScannerOnline(backend::kDeviceModel), 0);
    openWith(R"({"base": "default", "feeder": {"loaded": false}})");
    EXPECT_FALSE(m_scanner->is_feeder_loaded());
    EXPECT_NE(lib().isScannerOnline(backend::kDeviceModel), 0);
}

TEST_F(SimScanner, OpenFaults) {
    ScannerObject* scanner = reinterpret_cast<ScannerObject*>(this);
    useProfile(R"({"base": "default", "faults": {"openStatus": 56842}})");
    EXPECT_EQ(lib().openScanner(backend::kDeviceModel, &scanner), 0xDE0A);
    EXPECT_EQ(scanner, nullptr);
    scanner = reinterpret_cast<ScannerObject*>(this);
    useProfile(R"({"base": "default", "faults": {"noScanner": true}})");
    EXPECT_EQ(lib().openScanner(backend::kDeviceModel, &scanner), 0);
    EXPECT_EQ(scanner, nullptr);
    EXPECT_EQ(lib().liveScanners(), 0);
}

TEST_F(SimScanner, UserInterfaceRaisesItsEventAfterTheConfiguredPolls) {
    openWith(R"({"base": "default", "ui": {"action": "scan", "afterPolls": 2}})");
    EXPECT_TRUE(m_scanner->show_user_interface(nullptr, 0, 1));
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone) << "settings-only mode scans nothing";
    EXPECT_TRUE(m_scanner->show_user_interface(nullptr, 1, 1));
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone);
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone);
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventScanRequested);
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventNone) << "once";
    EXPECT_NE(std::string(lib().journal()).find("show_user_interface mode=1 indicators=1\n"),
              std::string::npos);

    openWith(R"({"base": "default", "ui": {"action": "close"}, "showIndicators": false})");
    EXPECT_TRUE(m_scanner->show_user_interface(nullptr, 1, 0));
    EXPECT_EQ(m_scanner->poll_event(), backend::kEventUserInterfaceClosed);
    EXPECT_FALSE(m_scanner->show_indicators(nullptr));

    openWith(R"({"base": "default", "showUserInterface": false})");
    EXPECT_FALSE(m_scanner->show_user_interface(nullptr, 1, 0));
}

TEST_F(SimScanner, CustomDataIsSeededAndReplaced) {
    openWith(R"({"base": "default", "customData": "abc"})");
    uint32_t length = 0;
    EXPECT_EQ(m_scanner->get_custom_data(nullptr, &length), backend::kCustomDataPresent);
    EXPECT_EQ(length, 3u);
    m_scanner->set_custom_data("hello", 5);
    char buffer[8] = {};
    length = sizeof(buffer);
    EXPECT_EQ(m_scanner->get_custom_data(buffer, &length), backend::kCustomDataPresent);
    EXPECT_EQ(std::string(buffer, length), "hello");

    unsetenv("TARSIN_SIM_PROFILE");
    open(); // the default profile holds none
    EXPECT_EQ(m_scanner->get_custom_data(nullptr, &length), 0);
    EXPECT_EQ(length, 0u);
}

TEST_F(SimScanner, JournalRecordsTheCallsThatChangeState) {
    lib().initialize(0);
    open();
    m_scanner->set_transfer_mechanism(2);
    m_scanner->set_compression(5, 0);
    m_scanner->start_scan();
    m_scanner->stop_scan();
    lib().uninitialize(0);
    EXPECT_EQ(std::string(lib().journal()),
              "initialize\nopen_scanner\nset_transfer_mechanism 2\nset_compression 5\n"
              "start_scan\nstop_scan\nuninitialize\n");
    lib().clearJournal();
    EXPECT_EQ(std::string(lib().journal()), "");
}

TEST_F(SimScanner, ReferencesKeepObjectsAlive) {
    open();
    m_scanner->add_ref();
    m_scanner->release();
    EXPECT_EQ(lib().liveScanners(), 1);
    backend::ImageObject* image = scanOne(backend::kImageMemory);
    ASSERT_NE(image, nullptr);
    image->add_ref();
    image->release();
    EXPECT_EQ(lib().liveImages(), 1);
    image->release();
    EXPECT_EQ(lib().liveImages(), 0);
    m_scanner->start_scan();
    m_scanner->wait_image(-1);
    m_scanner->release(); // pending pages go with the scanner
    m_scanner = nullptr;
    EXPECT_EQ(lib().liveScanners(), 0);
    EXPECT_EQ(lib().pendingImages(), 0);
}

} // namespace
} // namespace simtest
