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
int tintOf(const PageSpec& spec) {
    return (spec.pageNumber * 37 + spec.side * 101 + spec.colourMode * 17 + spec.dpi * 3 + spec.paperSize * 29) %
           256;
}

// The chart at one pixel, in colour; grey and black-and-white pages are derived from it.
Rgb chartPixel(const PageSpec& spec, int width, int height, int x, int y, int tint) {
    // The back side is mirrored, as a duplex scanner sees the sheet's other face.
    const int column = spec.side == 0 ? x : width - 1 - x;
    const int gridStep = std::max(1, spec.dpi / 2); // a line every half inch
    if (column % gridStep == 0 || y % gridStep == 0)
        return {0, 0, 0};
    // A top strip carries the page number as a bar code of 16 bits, one bar per 1/16 of the width.
    if (y < height / 10) {
        const int bit = column * 16 / width;
        const bool isSet = ((spec.pageNumber >> (15 - bit)) & 1) != 0;
        const uint8_t level = isSet ? 0 : 255;
        return {level, level, level};
    }
    const Rgb band = kBandColours[column * 8 / width];
    const int ramp = y * 255 / height; // top to bottom gradient
    const bool isCheckered = ((column / 24 + y / 24) & 1) != 0;
    return {static_cast<uint8_t>((band.red + tint) / 2),
            static_cast<uint8_t>((band.green + ramp) / 2),
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

int pageWidth(const PageSpec& spec) {
    return static_cast<int>(std::lround(paperWidthInches(spec.paperSize) * spec.dpi));
}
int pageHeight(const PageSpec& spec) {
    return static_cast<int>(std::lround(paperHeightInches(spec.paperSize) * spec.dpi));
}

int bitsPerPixel(int colourMode) {
    if (colourMode == kBlackAndWhite)
        return 1;
    return colourMode == kGrey ? 8 : 24;
}

int rowBytes(const PageSpec& spec) { return (pageWidth(spec) * bitsPerPixel(spec.colourMode) + 7) / 8; }

std::vector<uint8_t> renderPage(const PageSpec& spec) {
    const int width = pageWidth(spec);
    const int height = pageHeight(spec);
    const int stride = rowBytes(spec);
    const int tint = tintOf(spec);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = chartPixel(spec, width, height, x, y, tint);
            if (spec.colourMode == kColour) {
                row[x * 3] = pixel.red;
                row[x * 3 + 1] = pixel.green;
                row[x * 3 + 2] = pixel.blue;
            } else if (spec.colourMode == kGrey) {
                row[x] = greyOf(pixel);
            } else if (greyOf(pixel) >= 128) {
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return pixels;
}

std::shared_ptr<const std::vector<uint8_t>> renderPageCached(const PageSpec& spec) {
    static std::mutex cacheMutex;
    static PageSpec cachedSpec;
    static std::shared_ptr<const std::vector<uint8_t>> cachedPage;
    std::lock_guard<std::mutex> lock(cacheMutex);
    if (!cachedPage || cachedSpec != spec) {
        cachedPage = std::make_shared<const std::vector<uint8_t>>(renderPage(spec));
        cachedSpec = spec;
    }
    return cachedPage;
}

} // namespace simscanner
