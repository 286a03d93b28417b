// File transfers converted by the backend: the results opened with libtiff and libjpeg.
#include "tests/transfer/TransferSupport.h"

#include <cstdio>
#include <jpeglib.h>
#include <tiffio.h>

using namespace Twpp;
using namespace transfertest;

namespace {

class Conversion : public TransferTest {
protected:
    std::string convertFirstPage(uint16_t format, const std::string& name) {
        testsupport::useProfile(profile(100, simscanner::kColour, 1, false));
        openSource();
        EXPECT_EQ(setOneValue<uint16_t>(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, format), TWRC_SUCCESS);
        EXPECT_EQ(enable(), TWRC_SUCCESS);
        EXPECT_TRUE(waitForImage());
        const std::string path = testsupport::scratchDirectory() + name;
        EXPECT_EQ(setupFile(path, format), TWRC_SUCCESS);
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE)
            << "condition " << condition();
        EXPECT_FALSE(fileExists(path + ".src")) << "the intermediate file was left";
        return path;
    }
};

const simscanner::PageSpec kPage = pageOfJob(0, 100, simscanner::kColour, false);

TEST_F(Conversion, TiffHasThePagesSize) {
    const std::string path = convertFirstPage(TWFF_TIFF, "page.tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFClose(tiff);
    EXPECT_EQ(width, uint32_t(simscanner::pageWidth(kPage)));
    EXPECT_EQ(height, uint32_t(simscanner::pageHeight(kPage)));
}

TEST_F(Conversion, JpegHasThePagesSize) {
    const std::string path = convertFirstPage(TWFF_JFIF, "page.jpg");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(int(info.image_width), simscanner::pageWidth(kPage));
    EXPECT_EQ(int(info.image_height), simscanner::pageHeight(kPage));
    EXPECT_EQ(info.num_components, 3);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
}

} // namespace
