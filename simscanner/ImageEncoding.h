// The forms in which a scanned page leaves the backend: the chart's rows, a packed DIB (native
// transfers), a BMP file (file transfers) and raw CCITT Group 4 data (compressed memory transfers).
#pragma once

#include "TestChart.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace simscanner {

constexpr size_t kBitmapFileHeaderBytes = 14;
constexpr size_t kBitmapInfoHeaderBytes = 40;

enum class PageForm { Rows, Dib, BmpFile, Group4 };

// A packed DIB: BITMAPINFOHEADER, palette (2 entries for 1 bit, 256 greys for 8 bits, none for 24
// bits), bottom-up rows padded to 4 bytes, 24-bit pixels as B, G, R.
std::vector<uint8_t> makeDib(const PageSpec& page, const std::vector<uint8_t>& rows);
// A BMP file: BITMAPFILEHEADER followed by the DIB.
std::vector<uint8_t> makeBmpFile(const std::vector<uint8_t>& dib);

// The whole page as raw CCITT Group 4 data (white runs as 0 bits, as the standard codes them), or
// nothing when this build has no Group 4 encoder or the page is not black and white.
std::optional<std::vector<uint8_t>> encodeGroup4(const PageSpec& page, const std::vector<uint8_t>& rows);

// The page in one form, cached per form for the last page drawn, so repeated scans of one page are cheap.
// Null when the form cannot be made (Group 4 without an encoder or for a page that is not bilevel).
std::shared_ptr<const std::vector<uint8_t>> pageInForm(const PageSpec& page, PageForm form);

} // namespace simscanner
