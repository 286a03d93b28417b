#include "SimImage.h"

#include "Diagnostics.h"
#include "ImageEncoding.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace simscanner {

namespace {

// A name no other image (of this or another process) uses at the same time.
std::filesystem::path temporaryFileName() {
    static std::atomic<unsigned> counter{0};
    static const unsigned processSalt = std::random_device{}();
    const std::string name =
        "tarsin-sim-" + std::to_string(processSalt) + "-" + std::to_string(++counter) + ".bmp";
    return std::filesystem::temp_directory_path() / name;
}

} // namespace

backend::ImageParams imageParamsOf(const PageSpec& page) {
    backend::ImageParams params{};
    params.format = page.colourMode == kColour ? 1 : 0;
    params.last_frame = 1;
    params.bytes_per_line = rowBytes(page);
    params.pixels_per_line = pageWidth(page);
    params.lines = pageHeight(page);
    params.depth = page.colourMode == kBlackAndWhite ? 1 : 8;
    return params;
}

SimImage::SimImage(const PageSpec& page, const ImageSettings& settings)
    : m_spec(page), m_faults(settings.faults), m_columns(pageWidth(page)), m_bytesPerRow(rowBytes(page)),
      m_rows(pageHeight(page)) {
    countCreated(ObjectKind::Image);
    if (settings.kind == backend::kImageNative) {
        m_bytes = pageInForm(page, PageForm::Dib);
    } else if (settings.kind == backend::kImageFile) {
        m_bytes = pageInForm(page, PageForm::BmpFile);
        if (settings.writesFile)
            writeTemporaryFile();
    } else {
        if (settings.isGroup4)
            m_bytes = pageInForm(page, PageForm::Group4);
        // Without an encoder (or for a page that is not bilevel) the rows go out uncompressed.
        if (!m_bytes)
            m_bytes = pageInForm(page, PageForm::Rows);
    }
}

SimImage::~SimImage() {
    if (!m_filePath.empty() && !m_isFileKept) {
        std::error_code ignored;
        std::filesystem::remove(m_filePath, ignored);
    }
    countDestroyed(ObjectKind::Image);
}

void SimImage::writeTemporaryFile() {
    const std::filesystem::path path = temporaryFileName();
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(m_bytes->data()), static_cast<std::streamsize>(m_bytes->size()));
    file.close();
    // On failure file_path() stays empty and the data source writes the bytes itself.
    if (file)
        m_filePath = path.string();
}

void SimImage::add_ref() { ++m_references; }

void SimImage::release() {
    if (--m_references == 0)
        delete this;
}

const uint8_t* SimImage::data_at(uint64_t offset, uint32_t* length) {
    if (!length || m_faults.dataAtFails || offset >= size()) {
        if (length)
            *length = 0;
        return nullptr;
    }
    uint64_t available = std::min<uint64_t>(*length, size() - offset);
    if (m_faults.chunkBytes > 0)
        available = std::min<uint64_t>(available, m_faults.chunkBytes);
    *length = static_cast<uint32_t>(available);
    return m_bytes->data() + offset;
}

int32_t SimImage::read(void* destination, uint32_t* length, uint64_t offset) {
    if (!length)
        return kStatusOperationError;
    if (m_faults.readFails || !destination || offset > size()) {
        *length = 0;
        return kStatusOperationError;
    }
    const uint64_t count = std::min<uint64_t>(*length, size() - offset);
    std::memcpy(destination, m_bytes->data() + offset, static_cast<size_t>(count));
    *length = static_cast<uint32_t>(count);
    return 0;
}

void SimImage::attach_params_record(backend::ImageParams* record) {
    m_paramsRecord = record;
    if (m_paramsRecord)
        *m_paramsRecord = imageParamsOf(m_spec);
}

} // namespace simscanner
