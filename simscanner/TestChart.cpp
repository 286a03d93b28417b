#include "TestChart.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace simscanner {

namespace {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Eight vertical bands of distinct colours, so a swapped channel or a shifted row is visible.
constexpr Rgb kBandColours[8] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                 {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};

// Folds the inputs that do not change the page's geometry into a tint, so two pages of equal size
// still differ in their pixels.
int tintOf(const PageSpec& page) {
    return (page.pageNumber * 37 + page.side * 101 + page.colourMode * 17 + page.dpi * 3 +
            page.paperSize * 29) %
           256;
}

// The chart at one pixel, in colour; grey and black-and-white pages are derived from it.
Rgb chartPixel(const PageSpec& page, int width, int height, int x, int y, int tint) {
    // The back side is mirrored, as a duplex scanner sees the sheet's other face.
    const int column = page.side == 0 ? x : width - 1 - x;
    const int gridStep = std::max(1, page.dpi / 2); // a line every half inch
    if (column % gridStep == 0 || y % gridStep == 0)
        return {0, 0, 0};
    // A top strip carries the page number as a bar code of 16 bits, one bar per 1/16 of the width.
    if (y < height / 10) {
        const int bit = column * 16 / width;
        const bool isSet = ((page.pageNumber >> (15 - bit)) & 1) != 0;
        const uint8_t level = isSet ? 0 : 255;
        return {level, level, level};
    }
    const Rgb band = kBandColours[column * 8 / width];
    const int ramp = y * 255 / height; // top to bottom gradient
    const bool isCheckered = ((column / 24 + y / 24) & 1) != 0;
    return {static_cast<uint8_t>((band.red + tint) / 2), static_cast<uint8_t>((band.green + ramp) / 2),
            static_cast<uint8_t>((band.blue + (isCheckered ? 64 : 0) + tint / 4) % 256)};
}

uint8_t greyOf(const Rgb& pixel) {
    return static_cast<uint8_t>((pixel.red * 30 + pixel.green * 59 + pixel.blue * 11) / 100);
}

} // namespace

bool PageSpec::operator==(const PageSpec& other) const {
    return pageNumber == other.pageNumber && side == other.side && colourMode == other.colourMode &&
           dpi == other.dpi && paperSize == other.paperSize;
}

double paperWidthInches(int paperSize) { return paperSize == kPaperUsLetter ? 8.5 : 8.27; }
double paperHeightInches(int paperSize) { return paperSize == kPaperUsLetter ? 11.0 : 11.69; }

int pageWidth(const PageSpec& page) {
    return static_cast<int>(std::lround(paperWidthInches(page.paperSize) * page.dpi));
}
int pageHeight(const PageSpec& page) {
    return static_cast<int>(std::lround(paperHeightInches(page.paperSize) * page.dpi));
}

int bitsPerPixel(int colourMode) {
    if (colourMode == kBlackAndWhite)
        return 1;
    return colourMode == kGrey ? 8 : 24;
}

int rowBytes(const PageSpec& page) { return (pageWidth(page) * bitsPerPixel(page.colourMode) + 7) / 8; }

std::vector<uint8_t> renderPage(const PageSpec& page) {
    const int width = pageWidth(page);
    const int height = pageHeight(page);
    const int stride = rowBytes(page);
    const int tint = tintOf(page);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = chartPixel(page, width, height, x, y, tint);
            if (page.colourMode == kColour) {
                row[x * 3] = pixel.red;
                row[x * 3 + 1] = pixel.green;
                row[x * 3 + 2] = pixel.blue;
            } else if (page.colourMode == kGrey) {
                row[x] = greyOf(pixel);
            } else if (greyOf(pixel) >= 128) {
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return pixels;
}

std::shared_ptr<const std::vector<uint8_t>> renderPageCached(const PageSpec& page) {
    static std::mutex cacheMutex;
    static PageSpec cachedSpec;
    static std::shared_ptr<const std::vector<uint8_t>> cachedPage;
    std::lock_guard<std::mutex> lock(cacheMutex);
    if (!cachedPage || cachedSpec != page) {
        cachedPage = std::make_shared<const std::vector<uint8_t>>(renderPage(page));
        cachedSpec = page;
    }
    return cachedPage;
}

} // namespace simscanner
