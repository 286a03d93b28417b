#include "tools/ScanOptions.h"

#include <cstdlib>

namespace scantool {

namespace {
bool parseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}
} // namespace

std::string usage() {
    return "usage: tarsin-scan [options]\n"
           "  --mode native|memory|file   transfer mode (native)\n"
           "  --pages N                   pages to scan, -1 for all (CAP_XFERCOUNT)\n"
           "  --dpi N                     resolution (ICAP_XRESOLUTION, ICAP_YRESOLUTION)\n"
           "  --pixel bw|gray|rgb         pixel type (ICAP_PIXELTYPE)\n"
           "  --format bmp|tiff|jpeg      file format of file mode (ICAP_IMAGEFILEFORMAT)\n"
           "  --compression none|group4   compression (ICAP_COMPRESSION)\n"
           "  --duplex                    both sides (CAP_DUPLEXENABLED)\n"
           "  --profile FILE              simulated device profile (TARSIN_SIM_PROFILE)\n"
           "  --out DIR                   folder for page-0001.bmp and so on (.)\n"
           "  --show-ui                   let the device's user interface start the scan\n"
           "  --list-caps                 print every supported capability and exit\n"
           "  --dsm system                go through the system's data source manager\n"
           "  --help                      this text\n";
}

std::optional<ScanOptions> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    ScanOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        const auto oneOf = [&](const std::string& text, std::initializer_list<const char*> choices) {
            for (const char* choice : choices)
                if (text == choice)
                    return true;
            error = "bad value \"" + text + "\" for " + name;
            return false;
        };
        std::string text;
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--mode") {
            if (!value(text) || !oneOf(text, {"native", "memory", "file"}))
                return std::nullopt;
            options.mode = text == "native" ? Mode::Native : text == "memory" ? Mode::Memory : Mode::File;
        } else if (name == "--pages") {
            int pages = 0;
            if (!value(text))
                return std::nullopt;
            if (!parseInt(text, -1, 32767, pages) || pages == 0) {
                error = "bad value \"" + text + "\" for --pages (1 to 32767, or -1)";
                return std::nullopt;
            }
            options.pages = pages;
        } else if (name == "--dpi") {
            int dpi = 0;
            if (!value(text))
                return std::nullopt;
            if (!parseInt(text, 1, 32767, dpi)) {
                error = "bad value \"" + text + "\" for --dpi";
                return std::nullopt;
            }
            options.dpi = dpi;
        } else if (name == "--pixel") {
            if (!value(text) || !oneOf(text, {"bw", "gray", "rgb"}))
                return std::nullopt;
            options.pixel = text;
        } else if (name == "--format") {
            if (!value(text) || !oneOf(text, {"bmp", "tiff", "jpeg"}))
                return std::nullopt;
            options.format = text == "bmp" ? Format::Bmp : text == "tiff" ? Format::Tiff : Format::Jpeg;
        } else if (name == "--compression") {
            if (!value(text) || !oneOf(text, {"none", "group4"}))
                return std::nullopt;
            options.compression = text;
        } else if (name == "--duplex") {
            options.duplex = true;
        } else if (name == "--profile") {
            if (!value(text))
                return std::nullopt;
            options.profile = text;
        } else if (name == "--out") {
            if (!value(options.outDirectory))
                return std::nullopt;
        } else if (name == "--show-ui") {
            options.showUi = true;
        } else if (name == "--list-caps") {
            options.listCaps = true;
        } else if (name == "--dsm") {
            if (!value(text) || !oneOf(text, {"system", "self"}))
                return std::nullopt;
            options.systemManager = text == "system";
        } else {
            error = "unknown option \"" + name + "\"";
            return std::nullopt;
        }
    }
    if (options.format != Format::Bmp && options.mode != Mode::File) {
        error = "--format tiff and jpeg need --mode file";
        return std::nullopt;
    }
    return options;
}

std::string pageExtension(const ScanOptions& options) {
    if (options.mode != Mode::File)
        return "bmp";
    return options.format == Format::Bmp ? "bmp" : options.format == Format::Tiff ? "tif" : "jpg";
}

} // namespace scantool
