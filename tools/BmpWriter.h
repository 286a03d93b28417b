// Writing pages as BMP files: a packed DIB gets its file header; memory strips (top-down rows) are
// placed bottom-up as BMP rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace scantool {

// Writes file header + DIB; answers false when the file cannot be written completely.
bool writeDibAsBmp(const std::string& path, const uint8_t* dib, std::size_t size);

// A page assembled from memory strips.
class StripImage {
public:
    // bitsPerPixel 1 (0 = black), 8 (grey) or 24 (R, G, B as the source delivers them).
    StripImage(int32_t width, int32_t height, int bitsPerPixel, uint32_t xDpi);
    // Rows [firstRow, firstRow + rows) of bytesPerRow bytes each.
    void putRows(uint32_t firstRow, uint32_t rows, uint32_t bytesPerRow, const uint8_t* data);
    bool write(const std::string& path) const;
    std::size_t byteCount() const { return m_pixels.size(); }

private:
    int32_t m_width;
    int32_t m_height;
    int m_bits;
    uint32_t m_dpi;
    std::size_t m_stride;
    std::vector<uint8_t> m_pixels; // bottom-up, padded to 4 bytes
};

} // namespace scantool
