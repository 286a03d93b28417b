// The simulated scanner object: a device described by a profile, whose scans are instantaneous but
// lazy (a page is made when the data source first looks for it), so the data source's polling,
// counting and waiting decide the pace exactly as they would with a real device.
#pragma once

#include "OptionTable.h"
#include "Profile.h"
#include "TestChart.h"

#include "datasource/ScannerBackend.h"

#include <atomic>
#include <deque>
#include <vector>

namespace simscanner {

// start_scan's answers (the codes that the data source maps to TWAIN condition codes).
constexpr int32_t kStatusCheckDeviceOnline = 0xDE00;
constexpr int32_t kStatusNoMedia = 0xDE07;

class SimScanner final : public backend::ScannerObject {
public:
    explicit SimScanner(Profile profile);
    SimScanner(const SimScanner&) = delete;
    SimScanner& operator=(const SimScanner&) = delete;

    void add_ref() override;
    void release() override;
    int32_t start_scan() override;
    void stop_scan() override;
    int32_t poll_event() override;
    bool wait_image(int32_t timeout) override;
    int32_t count_images(int32_t wait) override;
    backend::ImageObject* take_image(int32_t kind) override;
    bool get_image_params(backend::ImageParams* params, uint32_t* compressedSize) override;
    bool is_online() override { return m_profile.isOnline; }
    bool is_feeder_loaded() override { return isFeederLoaded(); }
    bool get_option_info(int32_t index, int32_t* valueType, int32_t* constraint, void* reserved) override;
    bool enum_option_values(int32_t index, backend::OptionValueCallback callback, void* collector) override;
    int32_t set_option_value(int32_t index, const void* value) override;
    int32_t convert_image_file(backend::ConvertRequest* request) override;
    void reserved_15() override {}
    int32_t role_01() override { return m_options.indexOfRole(1); }
    int32_t role_02() override { return m_options.indexOfRole(2); }
    int32_t role_03() override { return m_options.indexOfRole(3); }
    int32_t role_04() override { return m_options.indexOfRole(4); }
    int32_t role_05() override { return m_options.indexOfRole(5); }
    int32_t role_06() override { return m_options.indexOfRole(6); }
    int32_t role_07() override { return m_options.indexOfRole(7); }
    int32_t role_08() override { return m_options.indexOfRole(8); }
    int32_t role_09() override { return m_options.indexOfRole(9); }
    int32_t role_10() override { return m_options.indexOfRole(10); }
    int32_t role_11() override { return m_options.indexOfRole(11); }
    int32_t role_12() override { return m_options.indexOfRole(12); }
    int32_t role_13() override { return m_options.indexOfRole(13); }
    int32_t role_14() override { return m_options.indexOfRole(14); }
    int32_t role_15() override { return m_options.indexOfRole(15); }
    int32_t role_16() override { return m_options.indexOfRole(16); }
    int32_t role_17() override { return m_options.indexOfRole(17); }
    int32_t role_18() override { return m_options.indexOfRole(18); }
    int32_t role_19() override { return m_options.indexOfRole(19); }
    int32_t role_20() override { return m_options.indexOfRole(20); }
    int32_t role_21() override { return m_options.indexOfRole(21); }
    int32_t role_22() override { return m_options.indexOfRole(22); }
    int32_t role_23() override { return m_options.indexOfRole(23); }
    int32_t role_24() override { return m_options.indexOfRole(24); }
    int32_t role_25() override { return m_options.indexOfRole(25); }
    int32_t role_26() override { return m_options.indexOfRole(26); }
    int32_t role_27() override { return m_options.indexOfRole(27); }
    int32_t role_28() override { return m_options.indexOfRole(28); }
    int32_t role_29() override { return m_options.indexOfRole(29); }
    int32_t role_30() override { return m_options.indexOfRole(30); }
    int32_t role_31() override { return m_options.indexOfRole(31); }
    int32_t role_32() override { return m_options.indexOfRole(32); }
    int32_t role_33() override { return m_options.indexOfRole(33); }
    int32_t role_34() override { return m_options.indexOfRole(34); }
    int32_t role_35() override { return m_options.indexOfRole(35); }
    int32_t role_36() override { return m_options.indexOfRole(36); }
    int32_t role_37() override { return m_options.indexOfRole(37); }
    int32_t role_38() override { return m_options.indexOfRole(38); }
    int32_t role_39() override { return m_options.indexOfRole(39); }
    int32_t role_40() override { return m_options.indexOfRole(40); }
    int32_t role_41() override { return m_options.indexOfRole(41); }
    int32_t role_42() override { return m_options.indexOfRole(42); }
    int32_t role_43() override { return m_options.indexOfRole(43); }
    int32_t role_44() override { return m_options.indexOfRole(44); }
    int32_t role_45() override { return m_options.indexOfRole(45); }
    int32_t role_46() override { return m_options.indexOfRole(46); }
    int32_t role_47() override { return m_options.indexOfRole(47); }
    int32_t role_48() override { return m_options.indexOfRole(48); }
    int32_t role_49() override { return m_options.indexOfRole(49); }
    int32_t role_50() override { return m_options.indexOfRole(50); }
    int32_t role_51() override { return m_options.indexOfRole(51); }
    int32_t role_52() override { return m_options.indexOfRole(52); }
    int32_t role_53() override { return m_options.indexOfRole(53); }
    int32_t role_54() override { return m_options.indexOfRole(54); }
    int32_t role_55() override { return m_options.indexOfRole(55); }
    int32_t role_56() override { return m_options.indexOfRole(56); }
    int32_t role_57() override { return m_options.indexOfRole(57); }
    int32_t role_58() override { return m_options.indexOfRole(58); }
    int32_t role_59() override { return m_options.indexOfRole(59); }
    int32_t role_60() override { return m_options.indexOfRole(60); }
    int32_t role_61() override { return m_options.indexOfRole(61); }
    int32_t role_62() override { return m_options.indexOfRole(62); }
    int32_t role_63() override { return m_options.indexOfRole(63); }
    int32_t role_64() override { return m_options.indexOfRole(64); }
    int32_t role_65() override { return m_options.indexOfRole(65); }
    int32_t role_66() override { return m_options.indexOfRole(66); }
    int32_t role_67() override { return m_options.indexOfRole(67); }
    int32_t role_68() override { return m_options.indexOfRole(68); }
    int32_t role_69() override { return m_options.indexOfRole(69); }
    int32_t role_70() override { return m_options.indexOfRole(70); }
    int32_t role_71() override { return m_options.indexOfRole(71); }
    int32_t role_72() override { return m_options.indexOfRole(72); }
    int32_t role_73() override { return m_options.indexOfRole(73); }
    int32_t role_74() override { return m_options.indexOfRole(74); }
    int32_t role_75() override { return m_options.indexOfRole(75); }
    int32_t role_76() override { return m_options.indexOfRole(76); }
    int32_t role_77() override { return m_options.indexOfRole(77); }
    int32_t role_78() override { return m_options.indexOfRole(78); }
    int32_t role_79() override { return m_options.indexOfRole(79); }
    void reserved_95() override {}
    bool show_user_interface(void* parentWindow, int32_t mode, uint8_t indicators) override;
    bool show_indicators(void* parentWindow) override;
    void close_user_interface() override;
    bool has_indicators() override { return m_profile.hasIndicators; }
    void set_transfer_mechanism(uint16_t mechanism) override;
    void set_compression(uint16_t compression, int32_t reserved) override;
    int32_t get_custom_data(void* buffer, uint32_t* length) override;
    void set_custom_data(const void* data, uint32_t length) override;

private:
    ~SimScanner();

    bool isFeederLoaded() const { return m_profile.isFeederLoaded && m_profile.sheets > 0; }
    // The page as the options stand now: resolution, colour mode and paper size are read at scan time.
    PageSpec pageSpecOf(int pageInJob) const;
    // Scans the job's next page when no page is ready; false when none is ready and none is left.
    bool ensurePageReady();
    void endJob();

    std::atomic<int> m_references{1};
    Profile m_profile;
    OptionTable m_options;
    uint16_t m_compression = 0;
    uint16_t m_transferMechanism = 0;
    bool m_isJobRunning = false;
    int m_pagesLeft = 0;
    int m_pagesScanned = 0;
    int m_sidesPerSheet = 1;
    std::deque<PageSpec> m_readyPages;
    backend::Event m_pendingUserInterfaceEvent = backend::kEventNone;
    int m_pollsBeforeUserInterfaceEvent = 0;
    std::vector<uint8_t> m_customData;
};

} // namespace simscanner
