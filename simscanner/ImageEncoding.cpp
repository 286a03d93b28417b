#include "ImageEncoding.h"

#include <array>
#include <cmath>
#include <cstring>
#include <mutex>

namespace simscanner {

namespace {

void putUint16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void putUint32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int shift = 0; shift < 4; ++shift)
        bytes[offset + shift] = static_cast<uint8_t>(value >> (8 * shift));
}

int paletteEntries(int colourMode) {
    if (colourMode == kBlackAndWhite)
        return 2;
    return colourMode == kGrey ? 256 : 0;
}

} // namespace

std::vector<uint8_t> makeDib(const PageSpec& page, const std::vector<uint8_t>& rows) {
    const int width = pageWidth(page);
    const int height = pageHeight(page);
    const int bits = bitsPerPixel(page.colourMode);
    const size_t sourceStride = static_cast<size_t>(rowBytes(page));
    const size_t stride = (sourceStride + 3) / 4 * 4;
    const int palette = paletteEntries(page.colourMode);
    const size_t pixelOffset = kBitmapInfoHeaderBytes + static_cast<size_t>(palette) * 4;
    std::vector<uint8_t> dib(pixelOffset + stride * height, 0);

    const uint32_t pixelsPerMeter = static_cast<uint32_t>(std::lround(page.dpi / 0.0254));
    putUint32(dib, 0, kBitmapInfoHeaderBytes);
    putUint32(dib, 4, static_cast<uint32_t>(width));
    putUint32(dib, 8, static_cast<uint32_t>(height)); // positive: bottom-up rows
    putUint16(dib, 12, 1);
    putUint16(dib, 14, static_cast<uint16_t>(bits));
    putUint32(dib, 16, 0); // BI_RGB
    putUint32(dib, 20, static_cast<uint32_t>(stride * height));
    putUint32(dib, 24, pixelsPerMeter);
    putUint32(dib, 28, pixelsPerMeter);
    putUint32(dib, 32, static_cast<uint32_t>(palette));
    putUint32(dib, 36, 0);
    for (int entry = 0; entry < palette; ++entry) {
        // 1 bit: entry 0 black, entry 1 white, matching the chart's 1 = white.
        const uint8_t level = static_cast<uint8_t>(palette == 2 ? entry * 255 : entry);
        const size_t at = kBitmapInfoHeaderBytes + static_cast<size_t>(entry) * 4;
        dib[at] = dib[at + 1] = dib[at + 2] = level;
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = rows.data() + sourceStride * static_cast<size_t>(height - 1 - y);
        uint8_t* target = dib.data() + pixelOffset + stride * static_cast<size_t>(y);
        if (bits == 24) {
            for (int x = 0; x < width; ++x) {
                target[x * 3] = source[x * 3 + 2];
                target[x * 3 + 1] = source[x * 3 + 1];
                target[x * 3 + 2] = source[x * 3];
            }
        } else {
            std::memcpy(target, source, sourceStride);
        }
    }
    return dib;
}

std::vector<uint8_t> makeBmpFile(const std::vector<uint8_t>& dib) {
    std::vector<uint8_t> file(kBitmapFileHeaderBytes + dib.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    putUint32(file, 2, static_cast<uint32_t>(file.size()));
    const uint32_t paletteBytes =
        dib.size() >= kBitmapInfoHeaderBytes
            ? (static_cast<uint32_t>(dib[32]) | static_cast<uint32_t>(dib[33]) << 8) * 4
            : 0;
    putUint32(file, 10,
              static_cast<uint32_t>(kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes + paletteBytes));
    std::memcpy(file.data() + kBitmapFileHeaderBytes, dib.data(), dib.size());
    return file;
}

std::shared_ptr<const std::vector<uint8_t>> pageInForm(const PageSpec& page, PageForm form) {
    using Bytes = std::shared_ptr<const std::vector<uint8_t>>;
    struct CacheEntry {
        PageSpec page;
        Bytes bytes;
        bool isKnown = false;
    };
    static std::mutex cacheMutex;
    static std::array<CacheEntry, 4> cache;

    const std::shared_ptr<const std::vector<uint8_t>> rows = renderPageCached(page);
    if (form == PageForm::Rows)
        return rows;
    std::lock_guard<std::mutex> lock(cacheMutex);
    CacheEntry& entry = cache[static_cast<size_t>(form)];
    if (entry.isKnown && entry.page == page)
        return entry.bytes;
    Bytes made;
    if (form == PageForm::Group4) {
        if (std::optional<std::vector<uint8_t>> encoded = encodeGroup4(page, *rows))
            made = std::make_shared<const std::vector<uint8_t>>(std::move(*encoded));
    } else {
        std::vector<uint8_t> dib = makeDib(page, *rows);
        made = std::make_shared<const std::vector<uint8_t>>(form == PageForm::Dib ? std::move(dib)
                                                                                  : makeBmpFile(dib));
    }
    entry = CacheEntry{page, made, true};
    return made;
}

} // namespace simscanner
