// Session lifecycle of the scanner data source: open, close, configuration and custom data.
#include "datasource/tarsin_ds.h"

#include "datasource/BackendBinding.h"
#include "datasource/SourceRegistry.h"
#include "platform/Platform.h"

namespace tarsin {

using namespace Twpp;

tarsin_ds::~tarsin_ds() {
    // The held image may still write into the flow record it was given: it goes first.
    releaseHeldImage();
    m_flowRecord.reset();
    releaseScanner();
    // The capability maps go with m_capabilities (query support first).
}

bool tarsin_ds::anyInstanceInStates(DsState low, DsState high) {
    for (const tarsin_ds& source : SourceRegistry::instance().sources())
        if (source.state() >= low && source.state() <= high)
            return true;
    return false;
}

std::wstring tarsin_ds::configFilePath() {
    static const int kAnchor = 0;
    std::wstring path = platform::moduleFilePath(platform::moduleContaining(&kAnchor));
    const std::size_t separator = path.find_last_of(platform::kPathSeparator);
    if (separator == std::wstring::npos)
        return L"first.cfg";
    return path.substr(0, separator + 1) + L"first.cfg";
}

int32_t tarsin_ds::roleIndex(int role) const {
    return m_scanner ? backend::callRoleGetter(*m_scanner, role) : -1;
}

void tarsin_ds::releaseHeldImage() {
    if (m_heldImage) {
        backend::ImageObject* image = m_heldImage;
        m_heldImage = nullptr;
        image->release();
    }
    m_heldOffset = 0;
}

void tarsin_ds::releaseScanner() {
    if (m_scanner) {
        backend::ScannerObject* scanner = m_scanner;
        m_scanner = nullptr;
        scanner->release();
    }
}

Result tarsin_ds::identityOpenDs(TW_IDENTITY&) {
    BackendBinding& binding = backendBinding();
    if (!binding.isComplete())
        bindBackend();
    if (!binding.isComplete())
        return failure(TWCC_BUMMER);
    releaseScanner();
    // The device needs a moment between two sessions.
    platform::sleepMilliseconds(100);
    backend::ScannerObject* scanner = nullptr;
    const int32_t status = binding.open_scanner(backend::kDeviceModel, &scanner);
    m_scanner = scanner;
    if (!m_scanner) {
        if (!SourceRegistry::instance().anyOtherHoldsScanner(this))
            unbindBackend();
        // Also a status of 0 without a scanner object is a failed open.
        return Result(TWRC_FAILURE, static_cast<ConditionCode>(conditionFromBackendStatus(status)));
    }
    if (platform::readIniInt(configFilePath(), L"twain-app", L"flow", 0) == 1)
        m_flowRecord = std::make_unique<backend::ImageParams>(backend::ImageParams{});
    m_compression = TWCP_NONE;
    try {
        initCapabilities();
    } catch (...) {
        // The failed open destroys this instance; the backend must not stay bound for nobody.
        releaseScanner();
        if (!SourceRegistry::instance().anyOtherHoldsScanner(this))
            unbindBackend();
        throw;
    }
    m_fileXferFormat = TWFF_BMP;
    return success();
}

Result tarsin_ds::identityCloseDs(TW_IDENTITY&) {
    // An image held by an unfinished memory transfer would otherwise outlive the session.
    releaseHeldImage();
    releaseScanner();
    // Another application's session keeps its scanner object: the backend stays bound for it.
    if (!SourceRegistry::instance().anyOtherHoldsScanner(this))
        unbindBackend();
    return success();
}

Result tarsin_ds::customDsDataGet(TW_IDENTITY&, TW_CUSTOMDSDATA& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    uint32_t length = 0;
    if (m_scanner->get_custom_data(nullptr, &length) == backend::kCustomDataPresent) {
        if (length == 0) {
            // Nothing to hand over: an empty block could not even be locked.
            data.InfoLength = 0;
            data.hData = nullptr;
            return success();
        }
        OwnedHandle handle = OwnedHandle::allocate(length);
        {
            const HandleLock lock(handle.get());
            // The block holds `length` bytes: the backend may not write more, whatever it answers.
            uint32_t capacity = length;
            m_scanner->get_custom_data(lock.data(), &capacity);
        }
        // The previous hData belongs to the application; it frees it as the protocol says.
        data.InfoLength = length;
        data.hData = handle.release();
    }
    return success();
}

Result tarsin_ds::customDsDataSet(TW_IDENTITY&, TW_CUSTOMDSDATA& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    const HandleLock lock(data.hData);
    m_scanner->set_custom_data(lock.data(), data.InfoLength);
    return success();
}

Result tarsin_ds::deviceEventGet(TW_IDENTITY&, TW_DEVICEEVENT&) {
    // The source never queues device events.
    return failure(TWCC_SEQERROR);
}

} // namespace tarsin
