// tarsin-scan: a command-line TWAIN application. It opens the scanner data source (as its own
// manager, or through the system's), negotiates what the options ask, runs the acquisition loop and
// writes every page to a file.
#include "platform/Platform.h"
#include "platform/PlatformTesting.h"
#include "tools/BmpWriter.h"
#include "tools/ScanOptions.h"
#include "tools/SourceLink.h"
#include "tools/TwainNames.h"
#include "twain/Capability.h"
#include "twain/Fix32.h"
#include "twain/Twain.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace Twpp;
using namespace scantool;

namespace {

const char kSourceName[] = "OMBRIXSCAN V3300 TWAIN";

// A TWAIN call that failed, for the error message.
struct Failure {
    std::string what;
};

std::string programDirectory() {
    const std::wstring path = platform::moduleFilePath(nullptr);
    const std::size_t separator = path.find_last_of(platform::kPathSeparator);
    return separator == std::wstring::npos ? std::string(".")
                                           : platform::wideToUtf8(path.substr(0, separator));
}

// Creates the output folder and its parents when missing, so that a fresh path works like an
// existing one; answers false with a reason when it cannot be made.
bool prepareOutputDirectory(const std::string& directory, std::string& error) {
    if (directory.empty())
        return true;
    // The option is UTF-8 text; on Windows a narrow path would go through the ANSI code page.
    const std::filesystem::path path = std::filesystem::u8path(directory);
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure))
        return true;
    std::filesystem::create_directories(path, failure);
    // create_directories reports no error for a path that exists as something other than a folder.
    if (!failure && std::filesystem::is_directory(path, failure))
        return true;
    error = "cannot create the folder " + directory + (failure ? ": " + failure.message() : std::string());
    return false;
}

// The build leaves a registry stand-in beside the tool that points at the built backend; an explicit
// TARSIN_REGISTRY wins.
void prepareEnvironment(const ScanOptions& options) {
    const std::string separator = platform::wideToUtf8(std::wstring(1, platform::kPathSeparator));
    const std::string registry = programDirectory() + separator + "tarsin-registry.ini";
    const char* configured = std::getenv("TARSIN_REGISTRY");
    if ((!configured || !*configured) && std::ifstream(registry).good())
        platform::testing::setEnvironmentVariable("TARSIN_REGISTRY", registry);
    // Windows reads the real registry: with no backend folder there yet, the backend beside the tool
    // is the one meant (a fresh prefix, a build folder).
    if (platform::readMachineRegistryString(L"SOFTWARE\\TarsinScan", L"AppDirectory").empty())
        platform::testing::writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"AppDirectory",
                                                      platform::utf8ToWide(programDirectory()));
    if (options.profile)
        platform::testing::setEnvironmentVariable("TARSIN_SIM_PROFILE", *options.profile);
}

class Scanner {
public:
    Scanner(SourceLink& link, const ScanOptions& options) : m_link(link), m_options(options) {}

    uint16_t check(uint16_t rc, const std::string& what,
                   std::initializer_list<uint16_t> accepted = {TWRC_SUCCESS}) {
        for (const uint16_t ok : accepted)
            if (rc == ok)
                return rc;
        const uint16_t condition = m_link.condition();
        throw Failure{what + " failed: " + returnCodeName(rc) + ", " + conditionName(condition)};
    }

    template <typename T>
    void setOneValue(uint16_t cap, uint16_t itemType, T value, const std::string& shown) {
        TW_CAPABILITY request{cap, TWON_ONEVALUE, nullptr};
        request.hContainer = m_link.allocate(sizeof(TW_ONEVALUE) + 4);
        auto* bytes = static_cast<uint8_t*>(m_link.lock(request.hContainer));
        std::memcpy(bytes, &itemType, 2);
        std::memcpy(bytes + 2, &value, sizeof value);
        m_link.unlock(request.hContainer);
        const Handle own = request.hContainer;
        const uint16_t rc = m_link.call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request);
        m_link.free(own);
        // A source that answered with a container of its own leaves it to the application.
        if (request.hContainer && request.hContainer != own)
            m_link.free(request.hContainer);
        check(rc, "MSG_SET " + capabilityName(cap) + " = " + shown);
    }

    void negotiate() {
        const auto& o = m_options;
        if (o.mode != Mode::Native) {
            const uint16_t mechanism = o.mode == Mode::Memory ? uint16_t(TWSX_MEMORY) : uint16_t(TWSX_FILE);
            setOneValue<uint16_t>(ICAP_XFERMECH, TWTY_UINT16, mechanism,
                                  o.mode == Mode::Memory ? "TWSX_MEMORY" : "TWSX_FILE");
        }
        if (o.pages != -1)
            setOneValue<int16_t>(CAP_XFERCOUNT, TWTY_INT16, int16_t(o.pages), std::to_string(o.pages));
        if (o.pixel) {
            const uint16_t type = *o.pixel == "bw"     ? uint16_t(TWPT_BW)
                                  : *o.pixel == "gray" ? uint16_t(TWPT_GRAY)
                                                       : uint16_t(TWPT_RGB);
            setOneValue<uint16_t>(ICAP_PIXELTYPE, TWTY_UINT16, type, *o.pixel);
        }
        if (o.dpi) {
            const Fix32 dpi(float(*o.dpi));
            setOneValue<uint32_t>(ICAP_XRESOLUTION, TWTY_FIX32, dpi.toSlot(), std::to_string(*o.dpi));
            setOneValue<uint32_t>(ICAP_YRESOLUTION, TWTY_FIX32, dpi.toSlot(), std::to_string(*o.dpi));
        }
        if (o.compression) {
            const uint16_t compression =
                *o.compression == "group4" ? uint16_t(TWCP_GROUP4) : uint16_t(TWCP_NONE);
            setOneValue<uint16_t>(ICAP_COMPRESSION, TWTY_UINT16, compression, *o.compression);
        }
        if (o.duplex)
            setOneValue<uint16_t>(CAP_DUPLEXENABLED, TWTY_BOOL, uint16_t(1), "TRUE");
        if (o.mode == Mode::File && o.format != Format::Bmp)
            setOneValue<uint16_t>(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, fileFormat(), pageExtension(o));
    }

    // The whole job; answers the number of pages written.
    int run() {
        TW_USERINTERFACE ui{};
        ui.ShowUI = m_options.showUi ? 1 : 0;
        check(m_link.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), "MSG_ENABLEDS");
        m_enabled = true;
        const auto start = std::chrono::steady_clock::now();
        bool jobOver = false;
        while (!jobOver) {
            const uint16_t msg = waitForNotification();
            if (msg != MSG_XFERREADY)
                break; // MSG_CLOSEDSOK or MSG_CLOSEDSREQ: the source ends the job
            // State 6: transfer until the source has no further page, or enough pages came.
            for (;;) {
                transferPage();
                TW_PENDINGXFERS pending{};
                check(m_link.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), "MSG_ENDXFER");
                if (pending.Count == 0)
                    break;
                if (m_options.pages > 0 && m_pages >= m_options.pages) {
                    // Enough pages: drop the rest rather than wait for the source.
                    check(m_link.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), "MSG_RESET");
                    jobOver = true;
                    break;
                }
            }
            if (m_options.pages > 0 && m_pages >= m_options.pages)
                jobOver = true;
        }
        m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return m_pages;
    }

    void finish() {
        if (m_enabled) {
            TW_USERINTERFACE ui{};
            m_link.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
            m_enabled = false;
        }
    }

    int pages() const { return m_pages; }
    uint64_t bytes() const { return m_bytes; }
    double seconds() const { return m_seconds; }

private:
    uint16_t fileFormat() const {
        return m_options.format == Format::Tiff   ? uint16_t(TWFF_TIFF)
               : m_options.format == Format::Jpeg ? uint16_t(TWFF_JFIF)
                                                  : uint16_t(TWFF_BMP);
    }

    uint16_t waitForNotification() {
        // The simulated device answers at once; a real one may take seconds for a page.
        for (int poll = 0; poll < 600000; ++poll) {
            m_link.pumpWindowMessages();
            TW_EVENT event{};
            m_link.call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
            for (const uint16_t msg : m_link.takeNotifications())
                if (msg == MSG_XFERREADY || msg == MSG_CLOSEDSOK || msg == MSG_CLOSEDSREQ)
                    return msg;
            if (poll >= 100)
                platform::sleepMilliseconds(1);
        }
        throw Failure{"no image and no end of the job from the source"};
    }

    std::string pagePath() const {
        char name[32];
        std::snprintf(name, sizeof name, "page-%04d.", m_pages + 1);
        std::string directory = m_options.outDirectory;
        if (!directory.empty() && directory.back() != '/' && directory.back() != '\\')
            directory += platform::wideToUtf8(std::wstring(1, platform::kPathSeparator));
        return directory + name + pageExtension(m_options);
    }

    void transferPage() {
        TW_IMAGEINFO info{};
        check(m_link.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), "DAT_IMAGEINFO");
        const std::string path = pagePath();
        uint64_t bytes = 0;
        switch (m_options.mode) {
        case Mode::Native:
            bytes = nativePage(path);
            break;
        case Mode::Memory:
            bytes = memoryPage(path, info);
            break;
        case Mode::File:
            bytes = filePage(path);
            break;
        }
        ++m_pages;
        m_bytes += bytes;
        std::printf("page %d: %s, %dx%d, %d bits, %llu bytes\n", m_pages, path.c_str(), int(info.ImageWidth),
                    int(info.ImageLength), int(info.BitsPerPixel), static_cast<unsigned long long>(bytes));
        std::fflush(stdout);
    }

    uint64_t nativePage(const std::string& path) {
        Handle handle = nullptr;
        check(m_link.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), "DAT_IMAGENATIVEXFER",
              {TWRC_XFERDONE});
        if (!handle)
            throw Failure{"DAT_IMAGENATIVEXFER answered no image handle"};
        const auto* dib = static_cast<const uint8_t*>(m_link.lock(handle));
        if (!dib) {
            m_link.free(handle);
            throw Failure{"the image handle cannot be locked"};
        }
        // The DIB's size from its own header: the handle's size is the manager's business. A
        // header that makes no sense (a source that delivered less than the image) is an error,
        // not a file.
        uint32_t headerSize = 0, colours = 0;
        int32_t width = 0, height = 0;
        std::memcpy(&headerSize, dib, 4);
        std::memcpy(&width, dib + 4, 4);
        std::memcpy(&height, dib + 8, 4);
        const uint32_t bits = uint32_t(dib[14]) | uint32_t(dib[15]) << 8;
        std::memcpy(&colours, dib + 32, 4);
        const bool isPlausible =
            headerSize >= 40 && headerSize <= 4096 && width > 0 && height != 0 &&
            (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32) && colours <= 256;
        if (!isPlausible) {
            m_link.unlock(handle);
            m_link.free(handle);
            throw Failure{"DAT_IMAGENATIVEXFER delivered no valid image (its DIB header is broken)"};
        }
        if (colours == 0 && bits <= 8)
            colours = 1u << bits;
        const std::size_t stride = ((std::size_t(width) * bits + 7) / 8 + 3) / 4 * 4;
        const std::size_t size = headerSize + std::size_t(colours) * 4 +
                                 stride * std::size_t(height < 0 ? -int64_t(height) : int64_t(height));
        const bool written = writeDibAsBmp(path, dib, size);
        m_link.unlock(handle);
        m_link.free(handle);
        if (!written)
            throw Failure{"cannot write " + path};
        return size;
    }

    uint64_t memoryPage(const std::string& path, const TW_IMAGEINFO& info) {
        TW_SETUPMEMXFER setup{};
        check(m_link.call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), "DAT_SETUPMEMXFER");
        if (info.Compression != TWCP_NONE)
            throw Failure{"compressed memory transfers are not written by this tool; use --mode file"};
        const uint32_t length = std::max<uint32_t>(setup.Preferred, setup.MinBufSize);
        std::vector<uint8_t> buffer(length);
        StripImage image(info.ImageWidth, info.ImageLength, info.BitsPerPixel,
                         uint32_t(Fix32(info.XResolution.Whole, info.XResolution.Frac).toFloat() + 0.5f));
        uint64_t bytes = 0;
        for (;;) {
            TW_IMAGEMEMXFER strip{};
            strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, length, buffer.data()};
            const uint16_t rc = check(m_link.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip),
                                      "DAT_IMAGEMEMXFER", {TWRC_SUCCESS, TWRC_XFERDONE});
            // A last strip whose read failed still ends the image, with a condition that says so.
            if (rc == TWRC_XFERDONE) {
                const uint16_t condition = m_link.condition();
                if (condition != TWCC_SUCCESS)
                    throw Failure{"DAT_IMAGEMEMXFER failed: " + returnCodeName(rc) + ", " +
                                  conditionName(condition)};
            }
            // Only the rows the source wrote.
            const uint32_t rowsWritten = strip.BytesPerRow ? strip.BytesWritten / strip.BytesPerRow : 0;
            image.putRows(strip.YOffset, std::min(strip.Rows, rowsWritten), strip.BytesPerRow, buffer.data());
            bytes += strip.BytesWritten;
            if (rc == TWRC_XFERDONE)
                break;
        }
        if (!image.write(path))
            throw Failure{"cannot write " + path};
        return bytes;
    }

    uint64_t filePage(const std::string& path) {
        TW_SETUPFILEXFER setup{};
        if (path.size() >= sizeof setup.FileName)
            throw Failure{"the path " + path + " is too long for a file transfer"};
        std::strncpy(setup.FileName, path.c_str(), sizeof setup.FileName - 1);
        setup.Format = fileFormat();
        check(m_link.call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), "DAT_SETUPFILEXFER MSG_SET");
        // The source will not replace a file (it moves the scanner's file into place).
        platform::deleteFile(path);
        check(m_link.call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), "DAT_IMAGEFILEXFER",
              {TWRC_XFERDONE});
        std::ifstream written(path, std::ios::binary | std::ios::ate);
        return written ? uint64_t(written.tellg()) : 0;
    }

    SourceLink& m_link;
    const ScanOptions& m_options;
    bool m_enabled = false;
    int m_pages = 0;
    uint64_t m_bytes = 0;
    double m_seconds = 0;
};

// --- The capability listing ---

std::string itemText(uint16_t type, const uint8_t* item) {
    int32_t i32 = 0;
    uint32_t u32 = 0;
    switch (type) {
    case TWTY_INT8:
        return std::to_string(int8_t(item[0]));
    case TWTY_UINT8:
        return std::to_string(item[0]);
    case TWTY_INT16: {
        int16_t v;
        std::memcpy(&v, item, 2);
        return std::to_string(v);
    }
    case TWTY_UINT16: {
        uint16_t v;
        std::memcpy(&v, item, 2);
        return std::to_string(v);
    }
    case TWTY_BOOL: {
        uint16_t v;
        std::memcpy(&v, item, 2);
        return v ? "TRUE" : "FALSE";
    }
    case TWTY_INT32:
        std::memcpy(&i32, item, 4);
        return std::to_string(i32);
    case TWTY_UINT32:
        std::memcpy(&u32, item, 4);
        return std::to_string(u32);
    case TWTY_FIX32: {
        std::memcpy(&u32, item, 4);
        std::ostringstream text;
        text << Fix32::fromSlot(u32).toFloat();
        return text.str();
    }
    case TWTY_FRAME: {
        std::ostringstream text;
        for (int k = 0; k < 4; ++k) {
            std::memcpy(&u32, item + 4 * k, 4);
            text << (k ? "," : "") << Fix32::fromSlot(u32).toFloat();
        }
        return "(" + text.str() + ")";
    }
    case TWTY_STR32:
        return "\"" +
               std::string(reinterpret_cast<const char*>(item),
                           strnlen(reinterpret_cast<const char*>(item), 34)) +
               "\"";
    case TWTY_STR64:
        return "\"" +
               std::string(reinterpret_cast<const char*>(item),
                           strnlen(reinterpret_cast<const char*>(item), 66)) +
               "\"";
    case TWTY_STR128:
        return "\"" +
               std::string(reinterpret_cast<const char*>(item),
                           strnlen(reinterpret_cast<const char*>(item), 130)) +
               "\"";
    case TWTY_STR255:
        return "\"" +
               std::string(reinterpret_cast<const char*>(item),
                           strnlen(reinterpret_cast<const char*>(item), 256)) +
               "\"";
    default:
        return "?";
    }
}

std::string describeContainer(SourceLink& link, TW_CAPABILITY& cap) {
    const auto* bytes = static_cast<const uint8_t*>(link.lock(cap.hContainer));
    if (!bytes)
        return "(no container)";
    uint16_t type;
    std::memcpy(&type, bytes, 2);
    std::ostringstream text;
    text << containerName(cap.ConType) << " " << itemTypeName(type) << ": ";
    const auto u32At = [&](std::size_t offset) {
        uint32_t v;
        std::memcpy(&v, bytes + offset, 4);
        return v;
    };
    switch (cap.ConType) {
    case TWON_ONEVALUE:
        text << itemText(type, bytes + 2);
        break;
    case TWON_RANGE: {
        uint8_t slot[4];
        const auto at = [&](std::size_t offset) {
            std::memcpy(slot, bytes + offset, 4);
            return itemText(type, slot);
        };
        text << "min " << at(2) << ", max " << at(6) << ", step " << at(10) << ", default " << at(14)
             << ", current " << at(18);
        break;
    }
    case TWON_ENUMERATION: {
        const uint32_t count = u32At(2), current = u32At(6), fallback = u32At(10);
        for (uint32_t i = 0; i < count; ++i)
            text << (i ? " " : "") << itemText(type, bytes + 14 + i * Twpp::itemSize(type))
                 << (i == current ? "*" : "") << (i == fallback ? "(default)" : "");
        break;
    }
    case TWON_ARRAY: {
        const uint32_t count = u32At(2);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* item = bytes + 6 + i * Twpp::itemSize(type);
            if (type == TWTY_UINT16 && (cap.Cap == CAP_SUPPORTEDCAPS || cap.Cap == CAP_EXTENDEDCAPS)) {
                uint16_t id;
                std::memcpy(&id, item, 2);
                text << (i ? " " : "") << capabilityName(id);
            } else {
                text << (i ? " " : "") << itemText(type, item);
            }
        }
        break;
    }
    default:
        text << "?";
        break;
    }
    link.unlock(cap.hContainer);
    return text.str();
}

int listCapabilities(SourceLink& link) {
    TW_CAPABILITY supported{CAP_SUPPORTEDCAPS, TWON_DONTCARE16, nullptr};
    if (link.call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &supported) != TWRC_SUCCESS) {
        std::fprintf(stderr, "tarsin-scan: error: MSG_GET CAP_SUPPORTEDCAPS failed: %s\n",
                     conditionName(link.condition()).c_str());
        return 1;
    }
    std::vector<uint16_t> ids;
    if (const auto* bytes = static_cast<const uint8_t*>(link.lock(supported.hContainer))) {
        uint32_t count;
        std::memcpy(&count, bytes + 2, 4);
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t id;
            std::memcpy(&id, bytes + 6 + 2 * i, 2);
            ids.push_back(id);
        }
        link.unlock(supported.hContainer);
    }
    link.free(supported.hContainer);
    for (const uint16_t id : ids) {
        TW_CAPABILITY cap{id, TWON_DONTCARE16, nullptr};
        const uint16_t rc = link.call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap);
        if (rc == TWRC_SUCCESS && cap.hContainer)
            std::printf("%-36s %s\n", capabilityName(id).c_str(), describeContainer(link, cap).c_str());
        else
            std::printf("%-36s MSG_GET failed: %s\n", capabilityName(id).c_str(),
                        conditionName(link.condition()).c_str());
        if (cap.hContainer)
            link.free(cap.hContainer);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "tarsin-scan: error: %s\n%s", error.c_str(), usage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (!options->listCaps && !prepareOutputDirectory(options->outDirectory, error)) {
        std::fprintf(stderr, "tarsin-scan: error: %s\n", error.c_str());
        return 1;
    }
    prepareEnvironment(*options);
    const std::string separator = platform::wideToUtf8(std::wstring(1, platform::kPathSeparator));
    std::unique_ptr<SourceLink> link =
        options->systemManager
            ? makeSystemLink(kSourceName)
            : makeDirectLink(platform::utf8ToWide(programDirectory() + separator + "tarsintwain.ds"));
    if (!link->open(error)) {
        std::fprintf(stderr, "tarsin-scan: error: %s\n", error.c_str());
        return 1;
    }
    int status = 0;
    if (options->listCaps) {
        status = listCapabilities(*link);
    } else {
        Scanner scanner(*link, *options);
        try {
            scanner.negotiate();
            scanner.run();
            std::printf("done: %d pages, %llu bytes, %.2f s\n", scanner.pages(),
                        static_cast<unsigned long long>(scanner.bytes()), scanner.seconds());
        } catch (const Failure& failure) {
            std::fprintf(stderr, "tarsin-scan: error: %s\n", failure.what.c_str());
            status = 1;
        }
        scanner.finish();
    }
    link->close();
    return status;
}
