// The command line of tarsin-scan.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace scantool {

enum class Mode { Native, Memory, File };
enum class Format { Bmp, Tiff, Jpeg };

struct ScanOptions {
    Mode mode = Mode::Native;
    int pages = -1; // every page the feeder holds
    std::optional<int> dpi;
    std::optional<std::string> pixel; // bw, gray, rgb
    Format format = Format::Bmp;
    std::optional<std::string> compression; // none, group4
    bool duplex = false;
    std::optional<std::string> profile;
    std::string outDirectory = ".";
    bool showUi = false;
    bool listCaps = false;
    bool systemManager = false;
    bool help = false;
};

// Parses argv[1..]; on a bad option answers nothing and sets `error`.
std::optional<ScanOptions> parseOptions(const std::vector<std::string>& arguments, std::string& error);
std::string usage();
// The file extension of the pages: bmp for native and memory, else the format's.
std::string pageExtension(const ScanOptions& options);

} // namespace scantool
