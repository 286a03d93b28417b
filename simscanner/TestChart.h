// The synthetic page that the simulated scanner "scans": a test chart whose pixels depend on every
// input that shapes a real scan, so a transfer that mixes up pages, sides, modes, resolutions or
// paper sizes shows up as a pixel mismatch. Tests render the exact expected page from the same code.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace simscanner {

// Colour modes, as the colour mode option (role 57) holds them.
enum ColourMode : int { kBlackAndWhite = 0, kGrey = 1, kColour = 2 };

// Paper size codes (TWSS_ values) that the chart knows; any other code is drawn as A4.
constexpr int kPaperA4 = 1;
constexpr int kPaperUsLetter = 3;

struct PageSpec {
    int pageNumber = 1; // 1-based, per sheet: both sides of a sheet share it
    int side = 0;       // 0 front, 1 back
    int colourMode = kColour;
    int dpi = 200;
    int paperSize = kPaperA4;

    bool operator==(const PageSpec& other) const;
    bool operator!=(const PageSpec& other) const { return !(*this == other); }
};

// Paper width and height in inches for a paper size code.
double paperWidthInches(int paperSize);
double paperHeightInches(int paperSize);

// Pixels per row and rows: paper size times resolution, rounded to the nearest pixel.
int pageWidth(const PageSpec& page);
int pageHeight(const PageSpec& page);
// 24 for colour, 8 for grey, 1 for black and white.
int bitsPerPixel(int colourMode);
// Bytes of one unpadded row.
int rowBytes(const PageSpec& page);

// Renders the page as top-down, unpadded rows: colour as R, G, B bytes; grey as one byte per pixel;
// black and white as one bit per pixel, most significant bit first, 1 = white and 0 = black.
std::vector<uint8_t> renderPage(const PageSpec& page);

// As renderPage, but answers the last rendered page again when its inputs are unchanged, so scanning the
// same page over and over (benchmarks) does not pay for rendering each time.
std::shared_ptr<const std::vector<uint8_t>> renderPageCached(const PageSpec& page);

} // namespace simscanner
