#include "SimScanner.h"

#include "Conversion.h"
#include "Diagnostics.h"
#include "ImageEncoding.h"
#include "SimImage.h"

#include <algorithm>
#include <cstring>

namespace simscanner {

namespace {

// Roles whose options shape the scan.
constexpr int kRoleResolution = 24;
constexpr int kRoleTransferCount = 47;
constexpr int kRoleColourMode = 57;
constexpr int kRolePaperSize = 59;
constexpr int kRoleDuplexEnabled = 64;

constexpr uint16_t kCompressionGroup4 = 5; // TWCP_GROUP4

} // namespace

SimScanner::SimScanner(Profile profile)
    : m_profile(std::move(profile)), m_options(m_profile.options),
      m_customData(m_profile.customData.begin(), m_profile.customData.end()) {
    countCreated(ObjectKind::Scanner);
}

SimScanner::~SimScanner() {
    addPendingImages(-static_cast<int>(m_readyPages.size()));
    journal("release scanner");
    countDestroyed(ObjectKind::Scanner);
}

void SimScanner::add_ref() { ++m_references; }

void SimScanner::release() {
    if (--m_references == 0)
        delete this;
}

int32_t SimScanner::start_scan() {
    int32_t status = 0;
    if (!m_profile.isOnline)
        status = kStatusCheckDeviceOnline;
    else if (!isFeederLoaded())
        status = kStatusNoMedia;
    else
        status = m_profile.faults.startScanStatus;
    journal(status == 0 ? std::string("start_scan") : "start_scan status=" + std::to_string(status));
    if (status != 0)
        return status;

    m_sidesPerSheet = m_options.currentNumber(kRoleDuplexEnabled, 0) != 0 ? 2 : 1;
    int pages = m_profile.sheets * m_sidesPerSheet;
    const int transferCount = static_cast<int>(m_options.currentNumber(kRoleTransferCount, -1));
    if (transferCount > 0)
        pages = std::min(pages, transferCount);
    if (m_profile.faults.jamAfterPages >= 0)
        pages = std::min(pages, m_profile.faults.jamAfterPages);
    m_isJobRunning = true;
    m_pagesLeft = pages;
    m_pagesScanned = 0;
    return 0;
}

void SimScanner::stop_scan() {
    journal("stop_scan");
    endJob();
}

void SimScanner::endJob() {
    m_isJobRunning = false;
    m_pagesLeft = 0;
}

PageSpec SimScanner::pageSpecOf(int pageInJob) const {
    PageSpec page = m_profile.pageWithoutOptions;
    page.pageNumber = pageInJob / m_sidesPerSheet + 1;
    page.side = pageInJob % m_sidesPerSheet;
    page.dpi = static_cast<int>(m_options.currentNumber(kRoleResolution, page.dpi));
    page.colourMode = static_cast<int>(m_options.currentNumber(kRoleColourMode, page.colourMode));
    page.paperSize = static_cast<int>(m_options.currentNumber(kRolePaperSize, page.paperSize));
    return page;
}

bool SimScanner::ensurePageReady() {
    if (!m_readyPages.empty())
        return true;
    if (!m_isJobRunning || m_pagesLeft <= 0)
        return false;
    m_readyPages.push_back(pageSpecOf(m_pagesScanned));
    ++m_pagesScanned;
    --m_pagesLeft;
    addPendingImages(1);
    return true;
}

int32_t SimScanner::poll_event() {
    if (m_pendingUserInterfaceEvent != backend::kEventNone) {
        if (m_pollsBeforeUserInterfaceEvent <= 0) {
            const backend::Event event = m_pendingUserInterfaceEvent;
            m_pendingUserInterfaceEvent = backend::kEventNone;
            return event;
        }
        --m_pollsBeforeUserInterfaceEvent;
    }
    if (!m_isJobRunning)
        return backend::kEventNone;
    // A page scanned but not taken is announced again: after the application reset its pending
    // transfers it waits in state 5 for news of that page, and nothing else would tell it.
    if (!m_readyPages.empty())
        return backend::kEventImageReady;
    if (ensurePageReady())
        return backend::kEventImageReady;
    endJob();
    return backend::kEventStopped;
}

bool SimScanner::wait_image(int32_t) { return ensurePageReady(); }

int32_t SimScanner::count_images(int32_t wait) {
    if (wait != 0)
        ensurePageReady();
    return static_cast<int32_t>(m_readyPages.size());
}

backend::ImageObject* SimScanner::take_image(int32_t kind) {
    journal("take_image kind=" + std::to_string(kind));
    if (m_readyPages.empty() || kind < backend::kImageNative || kind > backend::kImageMemory)
        return nullptr;
    const PageSpec page = m_readyPages.front();
    m_readyPages.pop_front();
    addPendingImages(-1);
    ImageSettings settings;
    settings.kind = kind;
    settings.isGroup4 = m_compression == kCompressionGroup4;
    settings.writesFile = m_profile.transferAsFile;
    settings.faults = m_profile.faults;
    return new SimImage(page, settings);
}

bool SimScanner::get_image_params(backend::ImageParams* params, uint32_t* compressedSize) {
    if (!ensurePageReady())
        return false;
    const PageSpec& page = m_readyPages.front();
    const backend::ImageParams described = imageParamsOf(page);
    if (params)
        *params = described;
    if (compressedSize) {
        std::shared_ptr<const std::vector<uint8_t>> group4;
        if (m_compression == kCompressionGroup4)
            group4 = pageInForm(page, PageForm::Group4);
        *compressedSize = group4 ? static_cast<uint32_t>(group4->size())
                                 : static_cast<uint32_t>(described.bytes_per_line) * described.lines;
    }
    return true;
}

bool SimScanner::get_option_info(int32_t index, int32_t* valueType, int32_t* constraint, void*) {
    return m_options.describe(index, valueType, constraint);
}

bool SimScanner::enum_option_values(int32_t index, backend::OptionValueCallback callback, void* collector) {
    return m_options.report(index, callback, collector);
}

int32_t SimScanner::set_option_value(int32_t index, const void* value) {
    std::string line;
    const int32_t status = m_options.assign(index, value, line);
    journal(line);
    return status;
}

int32_t SimScanner::convert_image_file(backend::ConvertRequest* request) {
    if (!request) {
        journal("convert_image_file refused");
        return kStatusConversionFailed;
    }
    journal("convert_image_file format=" + std::to_string(request->format));
    return convertImageFile(*request);
}

bool SimScanner::show_user_interface(void*, int32_t mode, uint8_t indicators) {
    journal("show_user_interface mode=" + std::to_string(mode) + " indicators=" + std::to_string(indicators));
    if (!m_profile.showUserInterfaceAnswer)
        return false;
    m_pendingUserInterfaceEvent = backend::kEventNone;
    if (mode == 1 && m_profile.userInterfaceAction != UserInterfaceAction::None) {
        m_pendingUserInterfaceEvent = m_profile.userInterfaceAction == UserInterfaceAction::Scan
                                          ? backend::kEventScanRequested
                                          : backend::kEventUserInterfaceClosed;
        m_pollsBeforeUserInterfaceEvent = m_profile.userInterfaceAfterPolls;
    }
    return true;
}

bool SimScanner::show_indicators(void*) {
    journal("show_indicators");
    return m_profile.showIndicatorsAnswer;
}

void SimScanner::close_user_interface() {
    journal("close_user_interface");
    m_pendingUserInterfaceEvent = backend::kEventNone;
}

void SimScanner::set_transfer_mechanism(uint16_t mechanism) {
    journal("set_transfer_mechanism " + std::to_string(mechanism));
    m_transferMechanism = mechanism;
}

void SimScanner::set_compression(uint16_t compression, int32_t) {
    journal("set_compression " + std::to_string(compression));
    m_compression = compression;
}

int32_t SimScanner::get_custom_data(void* buffer, uint32_t* length) {
    if (!length)
        return 0;
    if (m_customData.empty()) {
        *length = 0;
        return 0;
    }
    if (buffer)
        std::memcpy(buffer, m_customData.data(), std::min<size_t>(*length, m_customData.size()));
    *length = static_cast<uint32_t>(m_customData.size());
    return backend::kCustomDataPresent;
}

void SimScanner::set_custom_data(const void* data, uint32_t length) {
    journal("set_custom_data length=" + std::to_string(length));
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_customData.assign(bytes, bytes ? bytes + length : bytes);
}

} // namespace simscanner
