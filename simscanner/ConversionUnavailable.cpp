// Builds without libtiff and libjpeg (the Win32 cross build) convert nothing; the data source then
// answers TWCC_FILEWRITEERROR for a file transfer in any format but BMP.
#include "Conversion.h"

namespace simscanner {

int32_t convertImageFile(const backend::ConvertRequest&) { return kStatusConversionFailed; }

} // namespace simscanner
