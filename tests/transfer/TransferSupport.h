// Shared steps of the transfer tests: a source enabled against a chosen simulated device, the event
// loop up to MSG_XFERREADY, and the expected pages in the forms the three modes deliver.
#pragma once

#include "host/DataSourceHost.h"
#include "simscanner/TestChart.h"
#include "tests/support/SourceFixture.h"
#include "twain/Twain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace transfertest {

// A profile over "default": the given resolution, colour mode (role 57), sheets, duplex (role 64),
// plus any extra JSON members (", \"faults\": {...}").
inline std::string profile(int dpi, int colourMode, int sheets, bool duplex, const std::string& extra = "") {
    return "{\"base\": \"default\", \"feeder\": {\"loaded\": true, \"sheets\": " + std::to_string(sheets) +
           "}, \"options\": {\"24\": {\"default\": " + std::to_string(dpi) +
           "}, \"57\": {\"default\": " + std::to_string(colourMode) +
           "}, \"64\": {\"default\": " + (duplex ? "true" : "false") + "}}" + extra + "}";
}

// Page n (from 0) of a job on the default A4 paper.
inline simscanner::PageSpec pageOfJob(int n, int dpi, int colourMode, bool duplex) {
    simscanner::PageSpec page;
    const int sides = duplex ? 2 : 1;
    page.pageNumber = n / sides + 1;
    page.side = n % sides;
    page.dpi = dpi;
    page.colourMode = colourMode;
    return page;
}

inline uint32_t readLe32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
inline uint16_t readLe16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

// A packed DIB turned back into the chart's form (top-down unpadded rows, colour as R, G, B), read
// from its own header so that a wrong header shows up as wrong pixels. Empty when it is malformed.
inline std::vector<uint8_t> dibToChartRows(const uint8_t* dib, std::size_t size) {
    if (size < 40 || readLe32(dib) != 40)
        return {};
    const int32_t width = static_cast<int32_t>(readLe32(dib + 4));
    const int32_t height = static_cast<int32_t>(readLe32(dib + 8));
    const int bits = readLe16(dib + 14);
    const uint32_t palette = readLe32(dib + 32);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    const std::size_t pixels = 40 + std::size_t(palette) * 4;
    if (width <= 0 || height <= 0 || pixels + stride * height > size)
        return {};
    std::vector<uint8_t> rows(rowBytes * height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* from = dib + pixels + stride * std::size_t(height - 1 - y);
        uint8_t* to = rows.data() + rowBytes * y;
        if (bits == 24)
            for (int32_t x = 0; x < width; ++x) {
                to[3 * x] = from[3 * x + 2];
                to[3 * x + 1] = from[3 * x + 1];
                to[3 * x + 2] = from[3 * x];
            }
        else
            std::memcpy(to, from, rowBytes);
    }
    return rows;
}

inline std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

class TransferTest : public testsupport::SourceTest {
protected:
    uint16_t enable(bool showUi = false) {
        TW_USERINTERFACE ui{};
        ui.ShowUI = showUi;
        return call(Twpp::DG_CONTROL, Twpp::DAT_USERINTERFACE, Twpp::MSG_ENABLEDS, &ui);
    }
    using TW_USERINTERFACE = Twpp::TW_USERINTERFACE;

    // Whether msg was among the notifications sent since the last look; forgets them.
    bool takeNotification(uint16_t msg) {
        auto& sent = app().notifications();
        bool found = false;
        for (const host::Notification& notification : sent)
            found = found || notification.msg == msg;
        sent.clear();
        return found;
    }
    std::vector<uint16_t> takeNotifications() {
        std::vector<uint16_t> messages;
        for (const host::Notification& notification : app().notifications())
            messages.push_back(notification.msg);
        app().notifications().clear();
        return messages;
    }

    // Forwards events until the source sends one of the two messages; answers it (0 after too many).
    uint16_t pumpUntil(uint16_t first, uint16_t second = Twpp::MSG_XFERREADY, int limit = 50) {
        for (int i = 0; i < limit; ++i) {
            Twpp::TW_EVENT event{};
            EXPECT_EQ(call(Twpp::DG_CONTROL, Twpp::DAT_EVENT, Twpp::MSG_PROCESSEVENT, &event),
                      Twpp::TWRC_NOTDSEVENT);
            for (const uint16_t msg : takeNotifications())
                if (msg == first || msg == second)
                    return msg;
        }
        return 0;
    }
    bool waitForImage() { return pumpUntil(Twpp::MSG_XFERREADY) == Twpp::MSG_XFERREADY; }

    uint16_t endTransfer() {
        Twpp::TW_PENDINGXFERS pending{};
        EXPECT_EQ(call(Twpp::DG_CONTROL, Twpp::DAT_PENDINGXFERS, Twpp::MSG_ENDXFER, &pending),
                  Twpp::TWRC_SUCCESS);
        return pending.Count;
    }

    Twpp::TW_IMAGEINFO imageInfo() {
        Twpp::TW_IMAGEINFO info{};
        EXPECT_EQ(call(Twpp::DG_IMAGE, Twpp::DAT_IMAGEINFO, Twpp::MSG_GET, &info), Twpp::TWRC_SUCCESS);
        return info;
    }

    // One native transfer, the DIB in chart form.
    std::vector<uint8_t> nativePage() {
        Twpp::Handle handle = nullptr;
        EXPECT_EQ(call(Twpp::DG_IMAGE, Twpp::DAT_IMAGENATIVEXFER, Twpp::MSG_GET, &handle),
                  Twpp::TWRC_XFERDONE)
            << "condition " << condition();
        if (!handle)
            return {};
        EXPECT_TRUE(host::isLiveHostHandle(handle)) << "the DIB is not in the manager's memory";
        std::vector<uint8_t> rows;
        const auto* dib = static_cast<const uint8_t*>(host::hostLock(handle));
        // The manager's block has no size query here; the header's own image size bounds the read.
        rows = dibToChartRows(dib, 40 + std::size_t(readLe32(dib + 32)) * 4 + readLe32(dib + 20));
        host::hostUnlock(handle);
        host::hostFree(handle);
        return rows;
    }

    // Sets the file transfer's name and format.
    uint16_t setupFile(const std::string& name, uint16_t format) {
        Twpp::TW_SETUPFILEXFER setup{};
        std::memcpy(setup.FileName, name.c_str(), std::min(name.size(), sizeof setup.FileName - 1));
        setup.Format = format;
        return call(Twpp::DG_CONTROL, Twpp::DAT_SETUPFILEXFER, Twpp::MSG_SET, &setup);
    }
};

} // namespace transfertest
