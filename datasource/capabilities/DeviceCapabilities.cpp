// Records of the capabilities that describe the device, the feeder and the transfer, where they
// need more than a pattern's arguments.
#include "datasource/capabilities/CapabilitySetup.h"

#include <algorithm>

namespace tarsin {

using namespace Twpp;
using namespace caps;

namespace {
constexpr int kRoleTransferCount = 47;
constexpr int kRoleFileFormats = 72;
constexpr int kRoleSerialNumber = 73;

constexpr int16_t kAllImages = -1;

// A Bool field holds 0 or 1, whatever non-zero value the application sent.
uint8_t flagOf(Bool value) { return value ? 1 : 0; }
uint32_t indexOfFlag(Bool value) { return value ? 1 : 0; }
} // namespace

CapabilityHandler CapabilitySetup::supportedCaps() {
    const CapabilityRegistry& registry = m_registry;
    return [&registry](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT: {
            std::vector<uint16_t> ids;
            ids.reserve(registry.handlerMap().size());
            for (const auto& entry : registry.handlerMap())
                ids.push_back(entry.first);
            std::sort(ids.begin(), ids.end());
            cap = Capability::createArray(cap.cap(), ids);
            return success();
        }
        default:
            return failure(TWCC_CAPBADOPERATION);
        }
    };
}

// The scanner holds the count (role 47); 0 and counts below -1 (all images) are refused before any
// write, so the scanner never sees them.
CapabilityHandler CapabilitySetup::transferCount() {
    const tarsin_ds& source = m_source;
    return [&source](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case MSG_SET: {
            const int16_t count = cap.currentItem<int16_t>();
            if (count < kAllImages || count == 0)
                return failure(TWCC_BADVALUE);
            return writeOption(source, kRoleTransferCount, int32_t{count}) ? success()
                                                                           : failure(TWCC_BADVALUE);
        }
        case MSG_RESET:
            if (!writeOption(source, kRoleTransferCount, int32_t{kAllImages}))
                return failure(TWCC_BADVALUE);
            cap = Capability::createOneValue(cap.cap(), kAllImages);
            return success();
        default: {
            // Answered as the low 16 bits of the option's value.
            int16_t current = static_cast<int16_t>(
                readOption<int32_t>(source, kRoleTransferCount, kAllImages, kAllImages).current);
            return oneValueGetSet(msg, cap, current, kAllImages);
        }
        }
    };
}

CapabilityHandler CapabilitySetup::fixedTrue() {
    return [](uint16_t msg, Capability& cap) { return oneValueReadOnly(msg, cap, Bool(true)); };
}

// Only kept here: acquisition hands the flag to the scanner's user interface.
CapabilityHandler CapabilitySetup::indicators() {
    tarsin_ds& source = m_source;
    Stored<Bool> stored{[&source] { return Bool(source.m_indicators != 0); }, Bool(true),
                        [&source](Bool value) {
                            source.m_indicators = flagOf(value);
                            return success();
                        }};
    return storedEnumeration<Bool>(std::move(stored), {Bool(false), Bool(true)}, 1, indexOfFlag);
}

CapabilityHandler CapabilitySetup::compression() {
    tarsin_ds& source = m_source;
    Stored<Compression> stored{[&source] { return static_cast<Compression>(source.m_compression); },
                               TWCP_NONE,
                               [&source](Compression value) {
                                   if (value != TWCP_NONE && value != TWCP_GROUP4)
                                       return failure(TWCC_BADVALUE);
                                   source.m_compression = value;
                                   source.m_scanner->set_compression(value, 0);
                                   return success();
                               }};
    return storedEnumeration<Compression>(
        std::move(stored), {TWCP_NONE, TWCP_GROUP4}, 0,
        [](Compression value) -> uint32_t { return value != TWCP_NONE ? 1 : 0; });
}

CapabilityHandler CapabilitySetup::transferMechanism() {
    tarsin_ds& source = m_source;
    Stored<XferMech> stored{[&source] { return static_cast<XferMech>(source.m_xferMech); }, TWSX_NATIVE,
                            [&source](XferMech value) {
                                if (value != TWSX_NATIVE && value != TWSX_FILE && value != TWSX_MEMORY)
                                    return failure(TWCC_BADVALUE);
                                source.m_xferMech = value;
                                source.m_scanner->set_transfer_mechanism(value);
                                return success();
                            }};
    return storedEnumeration<XferMech>(std::move(stored), {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, 0,
                                       [](XferMech value) -> uint32_t { return value; });
}

// The list comes from the scanner (role 72), the value from the source: the file transfer converts
// only to TIFF and JPEG, whatever else the scanner lists, so only those and BMP are accepted.
CapabilityHandler CapabilitySetup::imageFileFormat() {
    tarsin_ds& source = m_source;
    Stored<FileFormat> stored{[&source] { return static_cast<FileFormat>(source.m_fileXferFormat); },
                              TWFF_BMP,
                              [&source](FileFormat value) {
                                  if (value != TWFF_TIFF && value != TWFF_BMP && value != TWFF_JFIF)
                                      return failure(TWCC_BADVALUE);
                                  source.m_fileXferFormat = value;
                                  return success();
                              }};
    return [&source, stored = std::move(stored)](uint16_t msg, Capability& cap) -> Result {
        switch (msg) {
        case MSG_GET: {
            const OptionValues<FormatRecord> values =
                readOption(source, kRoleFileFormats, FormatRecord{}, FormatRecord{}, kReadList);
            std::vector<FileFormat> formats;
            formats.reserve(values.list.size());
            for (const FormatRecord& record : values.list)
                formats.push_back(static_cast<FileFormat>(record.format));
            cap = Capability::createEnumeration(cap.cap(), formats, positionOf(formats, stored.read()),
                                                positionOf(formats, stored.defaultValue));
            return success();
        }
        case MSG_GETCURRENT:
            cap = Capability::createOneValue(cap.cap(), stored.read());
            return success();
        case MSG_GETDEFAULT:
            cap = Capability::createOneValue(cap.cap(), stored.defaultValue);
            return success();
        case MSG_SET:
        case MSG_RESET:
            return putStored(msg, cap, stored);
        default:
            return failure(TWCC_CAPBADOPERATION);
        }
    };
}

// Used by the file transfer's JPEG conversion; the scanner never sees it.
CapabilityHandler CapabilitySetup::jpegQuality() {
    tarsin_ds& source = m_source;
    return storedOneValue<uint16_t>({[&source] { return static_cast<uint16_t>(source.m_jpegQuality); }, 80,
                                     [&source](uint16_t value) {
                                         if (value < 1 || value > 100)
                                             return failure(TWCC_BADVALUE);
                                         source.m_jpegQuality = value;
                                         return success();
                                     }});
}

CapabilityHandler CapabilitySetup::feederEnabled() {
    tarsin_ds& source = m_source;
    return storedOneValue<Bool>({[&source] { return Bool(source.m_feederEnabled != 0); }, Bool(true),
                                 [&source](Bool value) {
                                     source.m_feederEnabled = flagOf(value);
                                     return success();
                                 }});
}

CapabilityHandler CapabilitySetup::autoFeed() {
    tarsin_ds& source = m_source;
    Stored<Bool> stored{[&source] { return Bool(source.m_autoFeed != 0); }, Bool(true),
                        [&source](Bool value) {
                            source.m_autoFeed = flagOf(value);
                            return success();
                        }};
    return storedEnumeration<Bool>(std::move(stored), {Bool(false), Bool(true)}, 1, indexOfFlag);
}

// Kept as the application sent it: a value other than 0 or 1 is answered back unchanged.
CapabilityHandler CapabilitySetup::autoScan() {
    tarsin_ds& source = m_source;
    return storedOneValue<Bool>({[&source] { return Bool::fromRaw(source.m_autoScan); }, Bool(false),
                                 [&source](Bool value) {
                                     source.m_autoScan = value.value;
                                     return success();
                                 }});
}

CapabilityHandler CapabilitySetup::serialNumber() {
    const tarsin_ds& source = m_source;
    return scannerReadOnly<Str255>([&source] {
        Str255 text;
        setStr255(text, readOption<std::string>(source, kRoleSerialNumber, {}, {}).current);
        return text;
    });
}

} // namespace tarsin
