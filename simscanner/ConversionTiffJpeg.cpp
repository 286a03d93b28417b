#include "Conversion.h"

#include <tiffio.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace simscanner {

namespace {

constexpr uint32_t kFormatTiff = 0; // TWFF_TIFF
constexpr uint32_t kFormatJfif = 4; // TWFF_JFIF
constexpr uint32_t kCompressionGroup4 = 5;
constexpr int32_t kStatusUnknownFormat = 256;
constexpr size_t kFileHeaderBytes = 14;

// A decoded BMP as top-down, unpadded rows: 1 bit (1 = white), 8-bit grey or R, G, B.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bits = 0;
    double dpi = 0;
    std::vector<uint8_t> rows;

    size_t stride() const { return (static_cast<size_t>(width) * bits + 7) / 8; }
};

uint32_t uint32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t uint16At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// Reads the uncompressed BMPs that this backend writes; false for anything else.
bool readBitmap(const std::string& path, Bitmap& bitmap) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || uint32At(bytes, 14) < 40)
        return false;
    const uint32_t pixelOffset = uint32At(bytes, 10);
    const int32_t width = static_cast<int32_t>(uint32At(bytes, 18));
    const int32_t signedHeight = static_cast<int32_t>(uint32At(bytes, 22));
    const int bits = uint16At(bytes, 28);
    if (width <= 0 || signedHeight == 0 || uint32At(bytes, 30) != 0 || (bits != 1 && bits != 8 && bits != 24))
        return false;
    bitmap.width = width;
    bitmap.height = std::abs(signedHeight);
    bitmap.bits = bits;
    bitmap.dpi = std::round(uint32At(bytes, 38) * 0.0254);
    const size_t paddedStride = (bitmap.stride() + 3) / 4 * 4;
    if (pixelOffset + paddedStride * bitmap.height > bytes.size())
        return false;
    // 1 bit: a palette whose first entry is the lighter one stores white as 0.
    const size_t palette = kFileHeaderBytes + uint32At(bytes, 14);
    const bool isOneBitInverted =
        bits == 1 && palette + 8 <= bytes.size() && bytes[palette] > bytes[palette + 4];
    bitmap.rows.resize(bitmap.stride() * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        const int sourceRow = signedHeight > 0 ? bitmap.height - 1 - y : y;
        const uint8_t* source = bytes.data() + pixelOffset + paddedStride * sourceRow;
        uint8_t* target = bitmap.rows.data() + bitmap.stride() * y;
        if (bits == 24) {
            for (int x = 0; x < width; ++x) {
                target[x * 3] = source[x * 3 + 2];
                target[x * 3 + 1] = source[x * 3 + 1];
                target[x * 3 + 2] = source[x * 3];
            }
        } else {
            std::memcpy(target, source, bitmap.stride());
            if (isOneBitInverted)
                for (size_t column = 0; column < bitmap.stride(); ++column)
                    target[column] = static_cast<uint8_t>(~target[column]);
        }
    }
    return true;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

bool writeTiff(const Bitmap& bitmap, const std::string& path, uint32_t compression) {
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path.c_str(), "w"));
    if (!tiff)
        return false;
    const bool isBilevel = bitmap.bits == 1;
    TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(bitmap.width));
    TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(bitmap.height));
    TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, isBilevel ? 1 : 8);
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, bitmap.bits == 24 ? 3 : 1);
    TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC,
                 bitmap.bits == 24 ? PHOTOMETRIC_RGB
                                   : (isBilevel ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION,
                 isBilevel && compression == kCompressionGroup4 ? COMPRESSION_CCITTFAX4 : COMPRESSION_LZW);
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(bitmap.height));
    TIFFSetField(tiff.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff.get(), TIFFTAG_XRESOLUTION, static_cast<float>(bitmap.dpi));
    TIFFSetField(tiff.get(), TIFFTAG_YRESOLUTION, static_cast<float>(bitmap.dpi));
    std::vector<uint8_t> strip = bitmap.rows;
    if (isBilevel) // MINISWHITE: white is 0, the opposite of our rows
        for (uint8_t& byte : strip)
            byte = static_cast<uint8_t>(~byte);
    if (TIFFWriteEncodedStrip(tiff.get(), 0, strip.data(), static_cast<tmsize_t>(strip.size())) < 0)
        return false;
    return TIFFWriteDirectory(tiff.get()) != 0;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// libjpeg reports errors through a handler that must not return; jumping back here keeps a failed
// write (a full disk) from ending the process.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

void jpegErrorExit(j_common_ptr compressor) {
    std::longjmp(reinterpret_cast<JpegErrors*>(compressor->err)->recovery, 1);
}

bool writeJpeg(const Bitmap& bitmap, const std::string& path, uint32_t quality) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    // Everything with a destructor exists before setjmp, so the jump skips no destructor.
    std::vector<uint8_t> expanded(static_cast<size_t>(bitmap.width));
    jpeg_compress_struct compressor{};
    JpegErrors errors{};
    compressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpegErrorExit;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_compress(&compressor);
        return false;
    }
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file.get());
    compressor.image_width = static_cast<JDIMENSION>(bitmap.width);
    compressor.image_height = static_cast<JDIMENSION>(bitmap.height);
    compressor.input_components = bitmap.bits == 24 ? 3 : 1;
    compressor.in_color_space = bitmap.bits == 24 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, static_cast<int>(quality < 1 ? 1 : (quality > 100 ? 100 : quality)), TRUE);
    compressor.density_unit = 1; // dots per inch
    compressor.X_density = static_cast<UINT16>(bitmap.dpi);
    compressor.Y_density = static_cast<UINT16>(bitmap.dpi);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(bitmap.rows.data()) + bitmap.stride() * compressor.next_scanline;
        if (bitmap.bits == 1) {
            for (int x = 0; x < bitmap.width; ++x)
                expanded[static_cast<size_t>(x)] = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
            row = expanded.data();
        }
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}

} // namespace

int32_t convertImageFile(const backend::ConvertRequest& request) {
    if (!request.source || !request.destination)
        return kStatusConversionFailed;
    if (request.format != kFormatTiff && request.format != kFormatJfif)
        return kStatusUnknownFormat;
    Bitmap bitmap;
    if (!readBitmap(request.source, bitmap))
        return kStatusSourceNotFound;
    const bool isWritten = request.format == kFormatTiff
                               ? writeTiff(bitmap, request.destination, request.compression)
                               : writeJpeg(bitmap, request.destination, request.jpegQuality);
    return isWritten ? 0 : kStatusConversionFailed;
}

} // namespace simscanner
