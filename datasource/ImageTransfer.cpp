// Image description and transfer in native, memory and file modes. Every transfer takes its image
// from the backend as an image object and copies the bytes out; the source keeps no pixels itself.
#include "datasource/tarsin_ds.h"

#include "platform/Platform.h"
#include "twain/Fix32.h"
#include "twain/Memory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace tarsin {

using namespace Twpp;

namespace {

constexpr int kResolutionRole = 24;
constexpr float kDefaultResolution = 200.0f;
constexpr char kDefaultFileName[] = "TSTwain.bmp";

// Collects the current value of a numeric option from enum_option_values.
struct CurrentValue {
    int32_t valueType = backend::kValueInteger;
    bool found = false;
    float value = 0.0f;
};

bool collectCurrent(const void* value, uint32_t flags, void* collector) {
    auto& current = *static_cast<CurrentValue*>(collector);
    if (!(flags & backend::kReportCurrent))
        return true;
    if (current.valueType == backend::kValueFixed) {
        float fixed;
        std::memcpy(&fixed, value, sizeof fixed);
        current.value = fixed;
    } else {
        int32_t integer;
        std::memcpy(&integer, value, sizeof integer);
        current.value = static_cast<float>(integer);
    }
    current.found = true;
    return false;
}

// The resolution in dots per inch that the image description reports.
float currentResolution(backend::ScannerObject& scanner, int32_t index) {
    if (index < 1)
        return kDefaultResolution;
    CurrentValue current;
    int32_t constraint = 0;
    if (!scanner.get_option_info(index, &current.valueType, &constraint, nullptr))
        return kDefaultResolution;
    scanner.enum_option_values(index, &collectCurrent, &current);
    return current.found && current.value > 0.0f ? current.value : kDefaultResolution;
}

TW_FIX32 toFix32(float value) {
    const Fix32 fix(value);
    return TW_FIX32{fix.whole, fix.frac};
}

bool sameFix32(const TW_FIX32& a, const TW_FIX32& b) { return a.Whole == b.Whole && a.Frac == b.Frac; }

// Releases an image object at the end of a scope unless the scope hands its reference on.
class ImageReference {
public:
    explicit ImageReference(backend::ImageObject* image) : m_image(image) {}
    ImageReference(const ImageReference&) = delete;
    ImageReference& operator=(const ImageReference&) = delete;
    ~ImageReference() {
        if (m_image)
            m_image->release();
    }
    backend::ImageObject* get() const { return m_image; }
    backend::ImageObject* operator->() const { return m_image; }
    backend::ImageObject& operator*() const { return *m_image; }
    explicit operator bool() const { return m_image != nullptr; }
    backend::ImageObject* release() {
        backend::ImageObject* image = m_image;
        m_image = nullptr;
        return image;
    }

private:
    backend::ImageObject* m_image;
};

// A name nobody uses yet in the temporary folder: "TS", six random letters or digits, ".bmp".
// The C runtime's template functions differ between systems and some refuse a bare prefix, so the
// name is drawn here and only checked against the folder.
std::string uniqueTemporaryName() {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 generator(static_cast<uint32_t>(
        std::random_device{}() ^ std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
    const std::string folder = platform::temporaryDirectory();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "TS";
        for (int i = 0; i < 6; ++i)
            name += kAlphabet[pick(generator)];
        name += ".bmp";
        if (std::FILE* existing = std::fopen(name.c_str(), "rb")) {
            std::fclose(existing);
            continue;
        }
        return name;
    }
    return std::string();
}

// Copies the image object's bytes, in the chunks data_at hands out, to sink(pointer, length);
// answers true when every byte reached the sink.
template <typename Sink>
bool copyChunks(backend::ImageObject& image, Sink&& sink) {
    const uint64_t size = image.size();
    uint64_t offset = 0;
    uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(size, UINT32_MAX));
    const uint8_t* pointer = image.data_at(0, &length);
    while (pointer && offset < size) {
        // A backend answering more than was asked must not make the copy run past the target.
        length = static_cast<uint32_t>(std::min<uint64_t>(length, size - offset));
        if (length == 0 || !sink(pointer, offset, length))
            return false;
        offset += length;
        if (offset >= size)
            break;
        length = static_cast<uint32_t>(std::min<uint64_t>(size - offset, UINT32_MAX));
        pointer = image.data_at(offset, &length);
    }
    return offset == size;
}

} // namespace

Result tarsin_ds::imageInfoGet(TW_IDENTITY&, TW_IMAGEINFO& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    backend::ImageParams params{};
    if (m_flowRecord && m_flowRecord->lines != 0) {
        params = *m_flowRecord;
        m_flowRecord->lines = 0;
    } else {
        if (!m_scanner->wait_image(-1)) {
            sendNotification(MSG_CLOSEDSOK);
            return failure(TWCC_BUMMER);
        }
        if (!m_scanner->get_image_params(&params, nullptr))
            return success();
    }
    const TW_FIX32 resolution = toFix32(currentResolution(*m_scanner, roleIndex(kResolutionRole)));
    data.BitsPerSample[0] = 8;
    if (params.format == 1) {
        data.BitsPerPixel = static_cast<int16_t>(3 * params.depth);
        data.BitsPerSample[1] = 8;
        data.BitsPerSample[2] = 8;
    } else {
        data.BitsPerPixel = static_cast<int16_t>(params.depth);
    }
    data.ImageWidth = params.pixels_per_line;
    data.ImageLength = params.lines;
    if (m_compression == TWCP_GROUP4)
        data.PixelType = TWPT_BW;
    else
        data.PixelType = params.format == 1 ? TWPT_RGB : TWPT_GRAY;
    data.Planar = 0; // chunky
    data.XResolution = resolution;
    data.YResolution = resolution;
    data.Compression = m_compression;
    return success();
}

Result tarsin_ds::imageLayoutGet(TW_IDENTITY&, TW_IMAGELAYOUT& data) {
    if (!m_scanner || m_scanner->count_images(0) == 0)
        return failure(TWCC_SEQERROR);
    const float resolution = currentResolution(*m_scanner, roleIndex(kResolutionRole));
    backend::ImageParams params{};
    m_scanner->get_image_params(&params, nullptr); // unreadable parameters leave a zero frame
    data.Frame.Left = toFix32(0.0f);
    data.Frame.Top = toFix32(0.0f);
    data.Frame.Right = toFix32(static_cast<float>(params.pixels_per_line) / resolution);
    data.Frame.Bottom = toFix32(static_cast<float>(params.lines) / resolution);
    data.DocumentNumber = 1;
    data.PageNumber = 1;
    data.FrameNumber = 1;
    return success();
}

Result tarsin_ds::imageLayoutGetDefault(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) {
    return imageLayoutGet(origin, data);
}

Result tarsin_ds::imageLayoutReset(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) {
    return imageLayoutGet(origin, data);
}

Result tarsin_ds::imageLayoutSet(TW_IDENTITY& origin, TW_IMAGELAYOUT& data) {
    // The frame follows the page; only the frame the source would answer itself is accepted.
    TW_IMAGELAYOUT current{};
    current.DocumentNumber = current.PageNumber = current.FrameNumber = 1;
    imageLayoutGetDefault(origin, current);
    const TW_FRAME& a = data.Frame;
    const TW_FRAME& b = current.Frame;
    if (sameFix32(a.Left, b.Left) && sameFix32(a.Top, b.Top) && sameFix32(a.Right, b.Right) &&
        sameFix32(a.Bottom, b.Bottom))
        return success();
    return failure(TWCC_BADVALUE);
}

Result tarsin_ds::setupMemXferGet(TW_IDENTITY& origin, TW_SETUPMEMXFER& data) {
    const int32_t wait = m_flowRecord ? -1 : 0;
    if (m_scanner && m_scanner->count_images(wait) != 0) {
        backend::ImageParams params{};
        uint32_t compressedSize = 0;
        if (!m_scanner->get_image_params(&params, &compressedSize))
            return failure(TWCC_BADVALUE);
        if (m_compression == TWCP_NONE) {
            const uint32_t rowBytes = static_cast<uint32_t>(params.bytes_per_line);
            const uint32_t preferred = (rowBytes + 3u) & ~3u;
            data.MinBufSize = rowBytes;
            data.Preferred = preferred;
            data.MaxBufSize = static_cast<uint32_t>(params.lines) * preferred;
        } else {
            data.MinBufSize = data.MaxBufSize = data.Preferred = compressedSize;
        }
        return success();
    }
    if (m_flowRecord) {
        // No image comes any more: the flow ends here and the source disables itself.
        data.Preferred = 1;
        TW_USERINTERFACE ui{};
        call(origin, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        return success();
    }
    return failure(TWCC_SEQERROR);
}

Result tarsin_ds::imageNativeXferGet(TW_IDENTITY&, Handle& data) {
    if (!m_scanner || m_scanner->count_images(0) == 0)
        return failure(TWCC_SEQERROR);
    ImageReference image(m_scanner->take_image(backend::kImageNative));
    if (!image)
        return failure(TWCC_SEQERROR);
    // The application's old handle is its own to free; it is never written through.
    data = nullptr;
    const uint64_t size = image->size();
    // A DIB in a TWAIN handle carries a 32-bit size.
    if (size > UINT32_MAX)
        return failure(TWCC_LOWMEMORY);
    OwnedHandle handle = OwnedHandle::allocate(static_cast<uint32_t>(size));
    if (size != 0) {
        // Keep the lock for the whole copy: the manager may move an unlocked block. (An empty
        // block is not locked: the system refuses to lock one.)
        const HandleLock lock(handle.get());
        uint8_t* target = lock.data();
        copyChunks(*image, [target](const uint8_t* pointer, uint64_t offset, uint32_t length) {
            std::memcpy(target + offset, pointer, length);
            return true;
        });
    }
    data = handle.release();
    return Result(TWRC_XFERDONE, TWCC_SUCCESS);
}

Result tarsin_ds::imageMemXferGet(TW_IDENTITY&, TW_IMAGEMEMXFER& data) {
    if (!m_scanner)
        return failure(TWCC_SEQERROR);
    if (!m_heldImage && m_scanner->count_images(0) == 0) {
        if (!(m_flowRecord && m_scanner->wait_image(-1))) {
            sendNotification(MSG_CLOSEDSOK);
            return failure(TWCC_SEQERROR);
        }
    }
    // This call owns one reference from here on; the held slot stays empty unless the image has to
    // wait for the next call.
    uint64_t offset = m_heldImage ? m_heldOffset : 0;
    const bool isNew = m_heldImage == nullptr;
    ImageReference image(isNew ? m_scanner->take_image(backend::kImageMemory) : m_heldImage);
    m_heldImage = nullptr;
    m_heldOffset = 0;
    if (!image)
        return failure(TWCC_SEQERROR);
    // Attached at once, so that a page held for a retry carries the flow record too.
    if (isNew && m_flowRecord)
        image->attach_params_record(m_flowRecord.get());
    const auto holdForRetry = [&] {
        m_heldImage = image.release();
        m_heldOffset = offset;
    };

    const uint32_t rowBytes = static_cast<uint32_t>(image->bytes_per_row());
    const uint32_t rows = rowBytes ? data.Memory.Length / rowBytes : 0;
    const bool compressed = m_compression != TWCP_NONE;
    // A buffer the data cannot go into is refused and the image waits for a retry with a bigger one:
    // taking it and forgetting it would lose the page. Compressed data is read in one piece, so its
    // buffer must hold all of it (and may be smaller than one uncompressed row).
    const bool fits = compressed ? data.Memory.Length >= image->size() : rows != 0;
    if (!fits || !data.Memory.TheMem) {
        holdForRetry();
        return failure(TWCC_BADVALUE);
    }
    const uint32_t want = rows * rowBytes;

    uint8_t* address = static_cast<uint8_t*>(data.Memory.TheMem);
    std::unique_ptr<HandleLock> lock;
    if (data.Memory.Flags & TWMF_HANDLE) {
        // Locked until the end of the call: the manager may move an unlocked block.
        lock = std::make_unique<HandleLock>(data.Memory.TheMem);
        address = lock->data();
    }
    data.BytesPerRow = rowBytes;
    data.Columns = static_cast<uint32_t>(image->columns());
    data.Rows = rows;
    data.XOffset = 0;
    data.YOffset = rowBytes ? static_cast<uint32_t>(offset / rowBytes) : 0;
    data.Compression = m_compression;

    if (compressed) {
        uint32_t length = static_cast<uint32_t>(image->size());
        image->read(address, &length, 0);
        data.Rows = static_cast<uint32_t>(image->rows());
        data.BytesWritten = length;
        return Result(TWRC_XFERDONE, TWCC_SUCCESS);
    }

    uint32_t length = want;
    if (image->read(address, &length, offset) != 0)
        return Result(TWRC_XFERDONE, TWCC_BUMMER);
    length = std::min(length, want);
    const uint32_t done = (length / rowBytes) * rowBytes;
    data.Rows = length / rowBytes;
    data.BytesWritten = done;
    offset += done;
    // A read that delivers not even one row ends the image rather than asking for it forever.
    if (offset < image->size() && done != 0) {
        holdForRetry();
        return success();
    }
    return Result(TWRC_XFERDONE, TWCC_SUCCESS);
}

Result tarsin_ds::imageFileXferGet(TW_IDENTITY&) {
    if (!m_scanner || m_scanner->count_images(0) == 0)
        return failure(TWCC_SEQERROR);
    backend::ImageObject* taken = m_scanner->take_image(backend::kImageFile);
    if (!taken)
        return failure(TWCC_SEQERROR);
    Result result = failure(TWCC_SEQERROR);
    // The name ends at its first zero byte or at the end of the field, whichever comes first.
    const std::string target = m_fileXferName.str();
    const std::string backendFile = taken->file_path();

    if (backendFile.empty()) {
        ImageReference image(taken);
        result = failure(TWCC_FILEWRITEERROR);
        if (std::FILE* file = std::fopen(target.c_str(), "wb")) {
            const bool written =
                copyChunks(*image, [file](const uint8_t* pointer, uint64_t, uint32_t length) {
                    return std::fwrite(pointer, 1, length, file) == length;
                });
            // A full disk may only show when the buffered tail is flushed.
            const bool closed = std::fclose(file) == 0;
            if (written && closed)
                result = Result(TWRC_XFERDONE, TWCC_SUCCESS);
        }
    } else {
        taken->keep_file(1);
        taken->release();
        if (platform::moveFile(backendFile, target))
            result = Result(TWRC_XFERDONE, TWCC_SUCCESS);
        else
            platform::deleteFile(backendFile);
    }

    if (result.condition() == TWCC_SUCCESS && m_fileXferFormat != TWFF_BMP) {
        const std::string source = target + ".src";
        platform::moveFile(target, source);
        backend::ConvertRequest request{};
        request.kind = 2;
        request.version = 1;
        request.source = source.c_str();
        request.sourceLength = static_cast<uint32_t>(source.size());
        request.format = m_fileXferFormat;
        request.jpegQuality = m_jpegQuality;
        request.compression = m_compression;
        request.zero = 0;
        request.one = 1;
        request.destination = target.c_str();
        request.destinationLength = static_cast<uint32_t>(target.size());
        if (m_scanner->convert_image_file(&request) != 0)
            result = failure(TWCC_FILEWRITEERROR);
        platform::deleteFile(source);
    }
    return result;
}

Result tarsin_ds::setupFileXferGet(TW_IDENTITY&, TW_SETUPFILEXFER& data) {
    std::memcpy(data.FileName, m_fileXferName.data, sizeof data.FileName);
    data.Format = m_fileXferFormat;
    return success();
}

Result tarsin_ds::setupFileXferGetDefault(TW_IDENTITY&, TW_SETUPFILEXFER& data) {
    std::memset(data.FileName, 0, sizeof data.FileName);
    std::memcpy(data.FileName, kDefaultFileName, sizeof kDefaultFileName);
    data.Format = TWFF_BMP;
    return success();
}

Result tarsin_ds::setupFileXferSet(TW_IDENTITY&, TW_SETUPFILEXFER& data) {
    std::memcpy(m_fileXferName.data, data.FileName, sizeof data.FileName);
    m_fileXferFormat = data.Format;
    return success();
}

Result tarsin_ds::setupFileXferReset(TW_IDENTITY&, TW_SETUPFILEXFER& data) {
    m_fileXferFormat = TWFF_BMP;
    const std::string name = uniqueTemporaryName();
    if (name.empty())
        return failure(TWCC_BADPROTOCOL);
    m_fileXferName.assign(name.c_str());
    // The application sees what is now in force.
    std::memcpy(data.FileName, m_fileXferName.data, sizeof data.FileName);
    data.Format = m_fileXferFormat;
    return success();
}

} // namespace tarsin
