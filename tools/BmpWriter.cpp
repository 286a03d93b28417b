#include "tools/BmpWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace scantool {

namespace {
void put16(uint8_t* at, uint16_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}
void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}
uint32_t get32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

bool writeAll(const std::string& path, const std::vector<const void*>& parts,
              const std::vector<std::size_t>& sizes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = true;
    for (std::size_t i = 0; i < parts.size() && ok; ++i)
        ok = std::fwrite(parts[i], 1, sizes[i], file) == sizes[i];
    return std::fclose(file) == 0 && ok;
}
} // namespace

bool writeDibAsBmp(const std::string& path, const uint8_t* dib, std::size_t size) {
    if (size < 40)
        return false;
    uint8_t header[14] = {'B', 'M'};
    const uint32_t headerSize = get32(dib);
    const uint32_t bits = uint32_t(dib[14]) | uint32_t(dib[15]) << 8;
    uint32_t colours = get32(dib + 32);
    if (colours == 0 && bits <= 8)
        colours = 1u << bits;
    put32(header + 2, uint32_t(14 + size));
    put32(header + 10, 14 + headerSize + colours * 4);
    return writeAll(path, {header, dib}, {sizeof header, size});
}

StripImage::StripImage(int32_t width, int32_t height, int bitsPerPixel, uint32_t xDpi)
    : m_width(width), m_height(height), m_bits(bitsPerPixel), m_dpi(xDpi) {
    m_stride = ((std::size_t(width) * bitsPerPixel + 7) / 8 + 3) / 4 * 4;
    m_pixels.assign(m_stride * std::size_t(std::max(height, 0)), 0);
}

void StripImage::putRows(uint32_t firstRow, uint32_t rows, uint32_t bytesPerRow, const uint8_t* data) {
    const std::size_t rowBytes = std::min<std::size_t>(bytesPerRow, m_stride);
    for (uint32_t r = 0; r < rows && firstRow + r < uint32_t(m_height); ++r) {
        const uint8_t* from = data + std::size_t(r) * bytesPerRow;
        uint8_t* to = m_pixels.data() + m_stride * std::size_t(m_height - 1 - int32_t(firstRow + r));
        if (m_bits == 24) {
            // BMP rows are B, G, R.
            for (std::size_t x = 0; x + 2 < rowBytes; x += 3) {
                to[x] = from[x + 2];
                to[x + 1] = from[x + 1];
                to[x + 2] = from[x];
            }
        } else {
            std::memcpy(to, from, rowBytes);
        }
    }
}

bool StripImage::write(const std::string& path) const {
    const uint32_t colours = m_bits == 1 ? 2 : m_bits == 8 ? 256 : 0;
    std::vector<uint8_t> header(14 + 40 + colours * 4, 0);
    header[0] = 'B';
    header[1] = 'M';
    put32(&header[2], uint32_t(header.size() + m_pixels.size()));
    put32(&header[10], uint32_t(header.size()));
    uint8_t* info = &header[14];
    put32(info, 40);
    put32(info + 4, uint32_t(m_width));
    put32(info + 8, uint32_t(m_height));
    put16(info + 12, 1);
    put16(info + 14, uint16_t(m_bits));
    put32(info + 20, uint32_t(m_pixels.size()));
    const uint32_t perMetre = uint32_t(std::lround(m_dpi / 0.0254));
    put32(info + 24, perMetre);
    put32(info + 28, perMetre);
    put32(info + 32, colours);
    for (uint32_t i = 0; i < colours; ++i) {
        // One bit: 0 black, 1 white, as the scanner delivers it.
        const uint8_t level = uint8_t(colours == 2 ? i * 255 : i);
        uint8_t* entry = info + 40 + i * 4;
        entry[0] = entry[1] = entry[2] = level;
    }
    return writeAll(path, {header.data(), m_pixels.data()}, {header.size(), m_pixels.size()});
}

} // namespace scantool
