// The pages that the simulated scanner hands out: each transfer kind's bytes against the test chart,
// Group 4 decoded back, the file conversions, and the faults of the image object.
#include "SimBackendFixture.h"

#include "simscanner/TestChart.h"

#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

namespace simtest {
namespace {

using simscanner::PageSpec;

uint32_t uint32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

uint16_t uint16At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

std::string profileFor(int colourMode, int dpi, int paperSize, const std::string& extra = "") {
    return R"({"base": "default", )" + extra + R"("options": {"57": {"default": )" +
           std::to_string(colourMode) + R"(}, "24": {"default": )" + std::to_string(dpi) +
           R"(}, "59": {"default": )" + std::to_string(paperSize) + "}}}";
}

TEST(TestChart, PixelsDependOnEveryInput) {
    const PageSpec base{1, 0, simscanner::kColour, 100, simscanner::kPaperA4};
    const std::vector<uint8_t> reference = simscanner::renderPage(base);
    EXPECT_EQ(reference.size(), 827u * 3 * 1169);
    PageSpec otherPage = base, otherSide = base, otherMode = base, otherDpi = base, otherPaper = base;
    otherPage.pageNumber = 2;
    otherSide.side = 1;
    otherMode.colourMode = simscanner::kGrey;
    otherDpi.dpi = 101;
    otherPaper.paperSize = simscanner::kPaperUsLetter;
    for (const PageSpec& other : {otherPage, otherSide, otherMode, otherDpi, otherPaper})
        EXPECT_NE(simscanner::renderPage(other), reference);
    EXPECT_EQ(*simscanner::renderPageCached(base), reference);
}

class SimImage : public SimBackendTest {};

struct ModeCase {
    int colourMode;
    int dpi;
    int paperSize;
};

void PrintTo(const ModeCase& mode, std::ostream* out) {
    *out << "mode " << mode.colourMode << " at " << mode.dpi << " dpi on paper " << mode.paperSize;
}

class MemoryRows : public SimBackendTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(MemoryRows, MatchTheChartPageBySide) {
    const ModeCase mode = GetParam();
    openWith(profileFor(mode.colourMode, mode.dpi, mode.paperSize));
    for (int side = 0; side < 2; ++side) {
        backend::ImageObject* image = scanOne(backend::kImageMemory);
        ASSERT_NE(image, nullptr);
        const PageSpec page{1, side, mode.colourMode, mode.dpi, mode.paperSize};
        const std::vector<uint8_t> expected = simscanner::renderPage(page);
        EXPECT_EQ(image->columns(), simscanner::pageWidth(page));
        EXPECT_EQ(image->rows(), simscanner::pageHeight(page));
        EXPECT_EQ(image->bytes_per_row(), simscanner::rowBytes(page));
        ASSERT_EQ(image->size(), expected.size());
        std::vector<uint8_t> read(expected.size());
        uint32_t length = static_cast<uint32_t>(read.size());
        EXPECT_EQ(image->read(read.data(), &length, 0), 0);
        EXPECT_EQ(length, read.size());
        EXPECT_TRUE(read == expected) << "side " << side;
        backend::ImageParams record{};
        image->attach_params_record(&record);
        EXPECT_EQ(record.lines, image->rows());
        image->release();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, MemoryRows,
                         ::testing::Values(ModeCase{2, 100, 1}, ModeCase{1, 150, 3}, ModeCase{0, 100, 1}));

TEST_F(SimImage, NativeIsAPackedBottomUpDib) {
    openWith(profileFor(simscanner::kColour, 100, simscanner::kPaperUsLetter));
    backend::ImageObject* image = scanOne(backend::kImageNative);
    ASSERT_NE(image, nullptr);
    const std::vector<uint8_t> dib = allBytes(*image);
    ASSERT_EQ(dib.size(), image->size());
    const int width = 850, height = 1100, stride = (850 * 3 + 3) / 4 * 4;
    EXPECT_EQ(uint32At(dib, 0), 40u);
    EXPECT_EQ(uint32At(dib, 4), static_cast<uint32_t>(width));
    EXPECT_EQ(uint32At(dib, 8), static_cast<uint32_t>(height));
    EXPECT_EQ(uint16At(dib, 14), 24);
    EXPECT_EQ(uint32At(dib, 20), static_cast<uint32_t>(stride * height));
    EXPECT_EQ(uint32At(dib, 24), 3937u) << "100 dpi in pixels per metre";
    ASSERT_EQ(dib.size(), 40u + stride * height);
    const std::vector<uint8_t> chart = simscanner::renderPage({1, 0, simscanner::kColour, 100, 3});
    for (int y : {0, 1, 500, height - 1}) {
        const uint8_t* dibRow = dib.data() + 40 + static_cast<size_t>(height - 1 - y) * stride;
        const uint8_t* chartRow = chart.data() + static_cast<size_t>(y) * width * 3;
        for (int x : {0, 7, 425, width - 1}) {
            EXPECT_EQ(dibRow[x * 3], chartRow[x * 3 + 2]) << x << "," << y << " blue";
            EXPECT_EQ(dibRow[x * 3 + 2], chartRow[x * 3]) << x << "," << y << " red";
        }
    }
    image->release();
}

TEST_F(SimImage, BilevelDibHasABlackWhitePalette) {
    openWith(profileFor(simscanner::kBlackAndWhite, 100, simscanner::kPaperA4));
    backend::ImageObject* image = scanOne(backend::kImageNative);
    ASSERT_NE(image, nullptr);
    const std::vector<uint8_t> dib = allBytes(*image);
    EXPECT_EQ(uint16At(dib, 14), 1);
    EXPECT_EQ(uint32At(dib, 32), 2u);
    EXPECT_EQ(uint32At(dib, 40), 0u) << "entry 0 black";
    EXPECT_EQ(uint32At(dib, 44), 0x00FFFFFFu) << "entry 1 white";
    image->release();
}

TEST_F(SimImage, FileKindIsABmpFileInBytesOrOnDisk) {
    openWith(profileFor(simscanner::kGrey, 100, simscanner::kPaperA4));
    backend::ImageObject* image = scanOne(backend::kImageFile);
    ASSERT_NE(image, nullptr);
    const std::vector<uint8_t> file = allBytes(*image);
    EXPECT_TRUE(image->file_path().empty());
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(uint32At(file, 2), file.size());
    EXPECT_EQ(uint32At(file, 10), 14u + 40 + 256 * 4);
    EXPECT_EQ(uint16At(file, 14 + 14), 8) << "grey: 8 bits";
    image->release();

    openWith(profileFor(simscanner::kGrey, 100, simscanner::kPaperA4, R"("fileTransfer": "file", )"));
    image = scanOne(backend::kImageFile);
    const std::string dropped = image->file_path();
    ASSERT_FALSE(dropped.empty());
    std::ifstream written(dropped, std::ios::binary);
    EXPECT_EQ(
        std::vector<uint8_t>((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>()),
        file);
    image->release();
    EXPECT_FALSE(std::filesystem::exists(dropped)) << "deleted with the object";

    image = scanOne(backend::kImageFile);
    const std::string kept = image->file_path();
    image->keep_file(1);
    image->release();
    EXPECT_TRUE(std::filesystem::exists(kept));
    std::filesystem::remove(kept);
}

// Undoes the MINISWHITE inversion of decoded bilevel rows; the bits past the last pixel of a row
// are cleared, as the chart leaves them.
void toChartBits(std::vector<uint8_t>& rows, int width) {
    const size_t stride = static_cast<size_t>(width + 7) / 8;
    const uint8_t lastByteMask = static_cast<uint8_t>(width % 8 == 0 ? 0xFF : 0xFF << (8 - width % 8));
    for (size_t at = 0; at < rows.size(); ++at) {
        rows[at] = static_cast<uint8_t>(~rows[at]);
        if (at % stride == stride - 1)
            rows[at] &= lastByteMask;
    }
}

// Wraps raw Group 4 data in a TIFF and decodes it, answering the rows with 1 = white.
std::vector<uint8_t> decodeGroup4(const std::vector<uint8_t>& data, int width, int height,
                                  const std::string& path) {
    TIFF* writer = TIFFOpen(path.c_str(), "w");
    TIFFSetField(writer, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(writer, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(writer, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(writer, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(writer, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(writer, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(writer, TIFFTAG_ROWSPERSTRIP, height);
    TIFFWriteRawStrip(writer, 0, const_cast<uint8_t*>(data.data()), static_cast<tmsize_t>(data.size()));
    TIFFClose(writer);
    TIFF* reader = TIFFOpen(path.c_str(), "r");
    std::vector<uint8_t> rows(static_cast<size_t>((width + 7) / 8) * height);
    const tmsize_t decoded = TIFFReadEncodedStrip(reader, 0, rows.data(), static_cast<tmsize_t>(rows.size()));
    TIFFClose(reader);
    if (decoded != static_cast<tmsize_t>(rows.size()))
        return {};
    toChartBits(rows, width);
    return rows;
}

TEST_F(SimImage, Group4DecodesBackToTheChart) {
    openWith(profileFor(simscanner::kBlackAndWhite, 200, simscanner::kPaperA4));
    m_scanner->set_compression(5, 0);
    backend::ImageObject* image = scanOne(backend::kImageMemory);
    ASSERT_NE(image, nullptr);
    const PageSpec page{1, 0, simscanner::kBlackAndWhite, 200, simscanner::kPaperA4};
    const std::vector<uint8_t> chart = simscanner::renderPage(page);
    EXPECT_EQ(image->rows(), simscanner::pageHeight(page));
    ASSERT_LT(image->size(), chart.size());
    std::vector<uint8_t> data(image->size());
    uint32_t length = static_cast<uint32_t>(data.size());
    ASSERT_EQ(image->read(data.data(), &length, 0), 0);
    EXPECT_TRUE(decodeGroup4(data, image->columns(), image->rows(), (m_directory / "g4.tif").string()) ==
                chart);
    image->release();
}

TEST_F(SimImage, InjectedTransferFaults) {
    openWith(R"({"base": "default", "faults": {"chunkBytes": 1000}, "options": {"24": {"default": 100}}})");
    backend::ImageObject* image = scanOne(backend::kImageNative);
    uint32_t length = 5000;
    EXPECT_NE(image->data_at(0, &length), nullptr);
    EXPECT_EQ(length, 1000u);
    length = 5000;
    EXPECT_NE(image->data_at(image->size() - 10, &length), nullptr);
    EXPECT_EQ(length, 10u);
    length = 1;
    EXPECT_EQ(image->data_at(image->size(), &length), nullptr);
    image->release();

    openWith(
        R"({"base": "default", "faults": {"dataAtFails": true, "readFails": true}, "options": {"24": {"default": 100}}})");
    image = scanOne(backend::kImageMemory);
    length = 100;
    EXPECT_EQ(image->data_at(0, &length), nullptr);
    std::vector<uint8_t> buffer(100);
    length = 100;
    EXPECT_NE(image->read(buffer.data(), &length, 0), 0);
    image->release();
}

class Conversion : public SimBackendTest {
protected:
    // Scans one page as a BMP file and writes it beside the test.
    std::string bmpOf(int colourMode) {
        openWith(profileFor(colourMode, 100, simscanner::kPaperUsLetter));
        backend::ImageObject* image = scanOne(backend::kImageFile);
        const std::vector<uint8_t> bytes = allBytes(*image);
        image->release();
        const std::string path = (m_directory / "page.bmp").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    int32_t convert(const std::string& source, const std::string& destination, uint32_t format,
                    uint32_t compression = 0) {
        backend::ConvertRequest request{};
        request.kind = 2;
        request.version = 1;
        request.source = source.c_str();
        request.sourceLength = static_cast<uint32_t>(source.size());
        request.format = format;
        request.jpegQuality = 75;
        request.compression = compression;
        request.one = 1;
        request.destination = destination.c_str();
        request.destinationLength = static_cast<uint32_t>(destination.size());
        return m_scanner->convert_image_file(&request);
    }
};

TEST_F(Conversion, TiffKeepsSizeResolutionAndCompression) {
    struct TiffCase {
        int colourMode;
        uint32_t compression;
        uint16_t expectedCompression;
        uint16_t samples;
    } cases[] = {{simscanner::kBlackAndWhite, 5, COMPRESSION_CCITTFAX4, 1},
                 {simscanner::kGrey, 0, COMPRESSION_LZW, 1},
                 {simscanner::kColour, 0, COMPRESSION_LZW, 3}};
    for (const TiffCase& item : cases) {
        const std::string source = bmpOf(item.colourMode);
        const std::string destination = (m_directory / "page.tif").string();
        ASSERT_EQ(convert(source, destination, 0, item.compression), 0);
        TIFF* tiff = TIFFOpen(destination.c_str(), "r");
        ASSERT_NE(tiff, nullptr);
        uint32_t width = 0, height = 0;
        uint16_t compression = 0, samples = 0;
        float resolution = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &resolution);
        EXPECT_EQ(width, 850u);
        EXPECT_EQ(height, 1100u);
        EXPECT_EQ(compression, item.expectedCompression);
        EXPECT_EQ(samples, item.samples);
        EXPECT_FLOAT_EQ(resolution, 100.0f);
        if (item.colourMode == simscanner::kBlackAndWhite) {
            std::vector<uint8_t> rows(107u * 1100);
            EXPECT_EQ(TIFFReadEncodedStrip(tiff, 0, rows.data(), static_cast<tmsize_t>(rows.size())),
                      static_cast<tmsize_t>(rows.size()));
            toChartBits(rows, 850);
            EXPECT_TRUE(rows == simscanner::renderPage({1, 0, simscanner::kBlackAndWhite, 100, 3}));
        }
        TIFFClose(tiff);
    }
}

TEST_F(Conversion, JpegHasThePageSizeAndComponents) {
    for (int colourMode : {simscanner::kBlackAndWhite, simscanner::kColour}) {
        const std::string source = bmpOf(colourMode);
        const std::string destination = (m_directory / "page.jpg").string();
        ASSERT_EQ(convert(source, destination, 4), 0);
        std::FILE* file = std::fopen(destination.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        jpeg_decompress_struct decompressor{};
        jpeg_error_mgr errors{};
        decompressor.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&decompressor);
        jpeg_stdio_src(&decompressor, file);
        ASSERT_EQ(jpeg_read_header(&decompressor, TRUE), JPEG_HEADER_OK);
        EXPECT_EQ(decompressor.image_width, 850u);
        EXPECT_EQ(decompressor.image_height, 1100u);
        EXPECT_EQ(decompressor.num_components, colourMode == simscanner::kColour ? 3 : 1);
        EXPECT_EQ(decompressor.X_density, 100);
        jpeg_destroy_decompress(&decompressor);
        std::fclose(file);
    }
}

TEST_F(Conversion, FailuresAnswerNonZero) {
    const std::string source = bmpOf(simscanner::kGrey);
    EXPECT_NE(convert((m_directory / "missing.bmp").string(), (m_directory / "out.tif").string(), 0), 0);
    EXPECT_NE(convert(source, (m_directory / "no-such-folder" / "out.tif").string(), 0), 0);
    EXPECT_NE(convert(source, (m_directory / "no-such-folder" / "out.jpg").string(), 4), 0);
    EXPECT_NE(convert(source, (m_directory / "out.png").string(), 7), 0) << "unknown format";
    EXPECT_NE(m_scanner->convert_image_file(nullptr), 0);
}

} // namespace
} // namespace simtest
