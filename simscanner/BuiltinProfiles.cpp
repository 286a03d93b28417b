#include "BuiltinProfiles.h"

namespace simscanner {

namespace {

// A sheet-fed duplex document scanner with every option role filled, so each capability of the data
// source has something to negotiate.
constexpr const char* kDefaultProfile = R"json({
  "name": "default",
  "online": true,
  "feeder": {"loaded": true, "sheets": 3},
  "indicators": true,
  "showUserInterface": true,
  "showIndicators": true,
  "ui": {"action": "none", "afterPolls": 0},
  "fileTransfer": "bytes",
  "customData": "",
  "page": {"dpi": 200, "colourMode": 2, "paperSize": 1},
  "faults": {"openStatus": 0, "noScanner": false, "startScanStatus": 0, "jamAfterPages": -1,
             "readFails": false, "dataAtFails": false, "chunkBytes": 0, "offline": false},
  "options": {
    "1":  {"type": "boolean", "default": false},
    "2":  {"type": "integer", "range": {"min": 0, "max": 60, "step": 5}, "default": 15},
    "3":  {"type": "integer", "list": [2, 2572], "default": 2},
    "4":  {"type": "boolean", "default": false},
    "5":  {"type": "integer", "list": [0, 1, 2], "default": 0},
    "6":  {"type": "integer", "range": {"min": 0, "max": 255, "step": 1}, "default": 128},
    "7":  {"type": "boolean", "default": true},
    "8":  {"type": "boolean", "default": false},
    "9":  {"type": "fixed", "range": {"min": 0.0, "max": 2.0, "step": 0.25}, "default": 1.0},
    "10": {"type": "integer", "list": [0, 1, 2, 3], "default": 0},
    "11": {"type": "text", "list": ["Normal", "Photo", "Text"], "default": "Normal"},
    "12": {"type": "boolean", "default": false},
    "13": {"type": "integer", "range": {"min": 0, "max": 100, "step": 1}, "default": 50},
    "14": {"type": "integer", "range": {"min": 0, "max": 100, "step": 1}, "default": 50},
    "15": {"type": "fixed", "list": [0.5, 1.0, 1.5, 2.0], "default": 1.0},
    "16": {"type": "boolean", "default": false},
    "17": {"type": "integer", "list": [1, 2, 3], "default": 1},
    "18": {"type": "text", "default": "Tarsin"},
    "19": {"type": "boolean", "default": false},
    "20": {"type": "integer", "range": {"min": 1, "max": 10, "step": 1}, "default": 5},
    "21": {"type": "integer", "list": [0, 1], "default": 0},
    "22": {"type": "boolean", "default": false},
    "23": {"type": "fixed", "default": 0.25},
    "24": {"type": "integer", "list": [100, 150, 200, 240, 300, 400, 600], "default": 200},
    "25": {"type": "integer", "range": {"min": 0, "max": 50, "step": 1}, "default": 0},
    "26": {"type": "boolean", "default": false},
    "27": {"type": "integer", "list": [0, 1, 2], "default": 0},
    "28": {"type": "boolean", "default": true},
    "29": {"type": "boolean", "default": false},
    "30": {"type": "integer", "range": {"min": 1, "max": 255, "step": 1}, "default": 128},
    "31": {"type": "integer", "range": {"min": 1, "max": 7, "step": 1}, "default": 4},
    "32": {"type": "integer", "range": {"min": 10, "max": 30, "step": 1}, "default": 22},
    "33": {"type": "boolean", "default": false},
    "34": {"type": "integer", "list": [0, 1, 2, 3], "default": 0},
    "35": {"type": "integer", "range": {"min": 0, "max": 255, "step": 1}, "default": 0},
    "36": {"type": "integer", "range": {"min": 0, "max": 255, "step": 1}, "default": 0},
    "37": {"type": "integer", "range": {"min": 0, "max": 255, "step": 1}, "default": 0},
    "38": {"type": "boolean", "default": false},
    "39": {"type": "integer", "list": [0, 1], "default": 0},
    "40": {"type": "boolean", "default": false},
    "41": {"type": "integer", "list": [0, 1, 2], "default": 0},
    "42": {"type": "fixed", "range": {"min": 0.0, "max": 10.0, "step": 0.5}, "default": 1.0},
    "43": {"type": "integer", "range": {"min": 1, "max": 3, "step": 1}, "default": 2},
    "44": {"type": "boolean", "default": true},
    "45": {"type": "boolean", "default": false},
    "46": {"type": "integer", "range": {"min": 0, "max": 10, "step": 1}, "default": 0},
    "47": {"type": "integer", "range": {"min": -1, "max": 32767, "step": 1}, "default": -1},
    "48": {"type": "boolean", "default": false},
    "49": {"type": "integer", "list": [0, 1, 2], "default": 0},
    "50": {"type": "integer", "range": {"min": 0, "max": 100, "step": 5}, "default": 20},
    "51": {"type": "integer", "range": {"min": 0, "max": 100, "step": 10}, "default": 10},
    "52": {"type": "boolean", "default": false},
    "53": {"type": "integer", "list": [0, 1], "default": 0},
    "54": {"type": "text", "default": "Document"},
    "55": {"type": "integer", "list": [0, 1, 2], "default": 0},
    "56": {"type": "integer", "list": [0, 1], "default": 1},
    "57": {"type": "integer", "list": [0, 1, 2], "default": 2},
    "58": {"type": "integer", "list": [0, 1, 2, 3], "default": 0},
    "59": {"type": "integer", "list": [1, 3], "default": 1},
    "60": {"type": "boolean", "default": false},
    "61": {"type": "boolean", "default": false},
    "62": {"type": "boolean", "default": false},
    "63": {"type": "integer", "list": [0, 90, 180, 270], "default": 0},
    "64": {"type": "boolean", "default": true},
    "65": {"type": "boolean", "default": false},
    "66": {"type": "boolean", "default": false},
    "67": {"type": "boolean", "default": false},
    "68": {"type": "boolean", "default": false},
    "69": {"type": "integer", "list": [0, 1, 2, 3], "default": 0},
    "70": {"type": "integer", "list": [0, 1, 2, 3], "default": 0},
    "71": {"type": "integer", "list": [0, 1], "default": 0},
    "72": {"type": "format", "list": [0, 2, 4], "default": 2},
    "73": {"type": "text", "default": "TS4-0042-7781"},
    "74": {"type": "boolean", "default": false},
    "75": {"type": "boolean", "default": false},
    "76": {"type": "text", "default": "Simulated duplex document scanner"},
    "77": {"type": "integer", "list": [1, 2, 4, 8], "default": 4},
    "78": {"type": "text", "default": "4.14.0"},
    "79": {"type": "text", "default": "TarsinScan simulator"}
  }
})json";

// A bare device: no indicators, no duplex, a handful of options.
constexpr const char* kMinimalProfile = R"json({
  "name": "minimal",
  "online": true,
  "feeder": {"loaded": true, "sheets": 1},
  "indicators": false,
  "page": {"dpi": 200, "colourMode": 1, "paperSize": 1},
  "options": {
    "24": {"type": "integer", "list": [100, 200, 300], "default": 200},
    "57": {"type": "integer", "list": [0, 1], "default": 1},
    "72": {"type": "format", "list": [2], "default": 2}
  }
})json";

} // namespace

const char* builtinProfileText(const std::string& name) {
    if (name == "default")
        return kDefaultProfile;
    if (name == "minimal")
        return kMinimalProfile;
    return nullptr;
}

} // namespace simscanner
