// convert_image_file: the file transfer's BMP turned into the format that the application asked for.
#pragma once

#include "datasource/ScannerBackend.h"

namespace simscanner {

constexpr int32_t kStatusSourceNotFound = 271;   // TWCC_FILENOTFOUND once mapped
constexpr int32_t kStatusConversionFailed = 273; // TWCC_FILEWRITEERROR once mapped

// Reads the BMP at request.source (1, 8 or 24 bits) and writes request.destination as TIFF
// (TWFF_TIFF: Group 4 for 1 bit when compression is TWCP_GROUP4, else LZW) or JPEG (TWFF_JFIF:
// quality jpegQuality, 1 bit expanded to grey), with the BMP's resolution. 0 on success.
int32_t convertImageFile(const backend::ConvertRequest& request);

} // namespace simscanner
