// One scanned page handed to the data source: the bytes of one transfer kind, shared with the page
// cache, so data_at answers pointers into one contiguous buffer without copying.
#pragma once

#include "Profile.h"
#include "TestChart.h"

#include "datasource/ScannerBackend.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace simscanner {

// read's answer when the fault "readFails" is set or the offset lies past the end.
constexpr int32_t kStatusOperationError = 269;

// The description of a page, as get_image_params and attach_params_record hand it out.
backend::ImageParams imageParamsOf(const PageSpec& page);

struct ImageSettings {
    int32_t kind = backend::kImageMemory;
    bool isGroup4 = false;   // TWCP_GROUP4 was set when the image was taken
    bool writesFile = false; // file transfers write a temp file
    Faults faults;
};

class SimImage final : public backend::ImageObject {
public:
    SimImage(const PageSpec& page, const ImageSettings& settings);
    SimImage(const SimImage&) = delete;
    SimImage& operator=(const SimImage&) = delete;

    void add_ref() override;
    void release() override;
    int32_t columns() override { return m_columns; }
    int32_t bytes_per_row() override { return m_bytesPerRow; }
    int32_t rows() override { return m_rows; }
    void reserved_5() override {}
    void reserved_6() override {}
    void reserved_7() override {}
    uint64_t size() override { return m_bytes ? m_bytes->size() : 0; }
    void reserved_9() override {}
    const uint8_t* data_at(uint64_t offset, uint32_t* length) override;
    int32_t read(void* destination, uint32_t* length, uint64_t offset) override;
    std::string file_path() override { return m_filePath; }
    void keep_file(int32_t keep) override { m_isFileKept = keep != 0; }
    void attach_params_record(backend::ImageParams* record) override;

private:
    ~SimImage();
    void writeTemporaryFile();

    std::atomic<int> m_references{1};
    PageSpec m_spec;
    Faults m_faults;
    std::shared_ptr<const std::vector<uint8_t>> m_bytes;
    int32_t m_columns = 0;
    int32_t m_bytesPerRow = 0;
    int32_t m_rows = 0;
    std::string m_filePath;
    bool m_isFileKept = false;
    backend::ImageParams* m_paramsRecord = nullptr;
};

} // namespace simscanner
