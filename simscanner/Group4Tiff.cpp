// Group 4 encoding through libtiff: the page is written as a one-strip TIFF into memory, then the
// strip's bytes are read back raw, which is exactly the CCITT Group 4 data.
#include "ImageEncoding.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace simscanner {

namespace {

// A growable in-memory file for TIFFClientOpen.
struct MemoryFile {
    std::vector<uint8_t> bytes;
    toff_t position = 0;
};

tsize_t memoryRead(thandle_t handle, tdata_t buffer, tsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (file->position >= file->bytes.size())
        return 0;
    const tsize_t count = std::min<tsize_t>(size, static_cast<tsize_t>(file->bytes.size() - file->position));
    std::memcpy(buffer, file->bytes.data() + file->position, static_cast<size_t>(count));
    file->position += static_cast<toff_t>(count);
    return count;
}

tsize_t memoryWrite(thandle_t handle, tdata_t buffer, tsize_t size) {
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t end = file->position + static_cast<toff_t>(size);
    if (end > file->bytes.size())
        file->bytes.resize(static_cast<size_t>(end));
    std::memcpy(file->bytes.data() + file->position, buffer, static_cast<size_t>(size));
    file->position = end;
    return size;
}

toff_t memorySeek(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    if (whence == SEEK_SET)
        file->position = offset;
    else if (whence == SEEK_CUR)
        file->position += offset;
    else
        file->position = file->bytes.size() + offset;
    return file->position;
}

int memoryClose(thandle_t) { return 0; }
toff_t memorySize(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }
int memoryMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void memoryUnmap(thandle_t, tdata_t, toff_t) {}

TIFF* openMemoryTiff(MemoryFile& file, const char* mode) {
    return TIFFClientOpen("memory", mode, &file, memoryRead, memoryWrite, memorySeek, memoryClose, memorySize,
                          memoryMap, memoryUnmap);
}

} // namespace

std::optional<std::vector<uint8_t>> encodeGroup4(const PageSpec& page, const std::vector<uint8_t>& rows) {
    if (page.colourMode != kBlackAndWhite)
        return std::nullopt;
    const int width = pageWidth(page);
    const int height = pageHeight(page);
    const size_t stride = static_cast<size_t>(rowBytes(page));
    MemoryFile file;
    TIFF* writer = openMemoryTiff(file, "w");
    if (!writer)
        return std::nullopt;
    TIFFSetField(writer, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
    TIFFSetField(writer, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
    TIFFSetField(writer, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(writer, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(writer, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    // The chart's 1 is white; the fax codes want white as 0, so the rows are inverted on the way in.
    TIFFSetField(writer, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(writer, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(writer, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
    TIFFSetField(writer, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::vector<uint8_t> inverted(rows.size());
    std::transform(rows.begin(), rows.end(), inverted.begin(), [](uint8_t byte) { return uint8_t(~byte); });
    const bool isWritten =
        TIFFWriteEncodedStrip(writer, 0, inverted.data(),
                              static_cast<tmsize_t>(stride * static_cast<size_t>(height))) >= 0;
    TIFFClose(writer);
    if (!isWritten)
        return std::nullopt;

    file.position = 0;
    TIFF* reader = openMemoryTiff(file, "r");
    if (!reader)
        return std::nullopt;
    std::vector<uint8_t> strip(static_cast<size_t>(TIFFGetStrileByteCount(reader, 0)));
    const tmsize_t read = TIFFReadRawStrip(reader, 0, strip.data(), static_cast<tmsize_t>(strip.size()));
    TIFFClose(reader);
    if (read < 0)
        return std::nullopt;
    strip.resize(static_cast<size_t>(read));
    return strip;
}

} // namespace simscanner
