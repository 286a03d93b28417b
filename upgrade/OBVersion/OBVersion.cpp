#include "OBVersion/OBVersion.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

struct TSVersion_Manager {
    fs::path spool;
};

namespace {

const char* environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

fs::path spoolFolder() {
    if (const char* configured = environmentValue("OBVERSION_SPOOL_DIR"))
        return fs::path(configured);
    if (const char* localAppData = environmentValue("LOCALAPPDATA"))
        return fs::path(localAppData) / "Ombrix" / "OBVersion" / "spool";
    if (const char* stateHome = environmentValue("XDG_STATE_HOME"))
        return fs::path(stateHome) / "ombrix" / "obversion" / "spool";
    if (const char* home = environmentValue("HOME"))
        return fs::path(home) / ".local" / "state" / "ombrix" / "obversion" / "spool";
    return {};
}

// Keeps every report on one line per field whatever the installer passes as description.
std::string escaped(const char* text) {
    std::string out;
    for (const char* c = text != nullptr ? text : ""; *c != '\0'; ++c) {
        switch (*c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += *c;
        }
    }
    return out;
}

struct Timestamp {
    std::string iso;     // 2024-05-01T10:00:00Z, for the report
    std::string compact; // 20240501T100000Z, for the file name (sorts by time)
};

Timestamp utcNow() {
    // std::gmtime shares one buffer per process; reports may be posted from several threads.
    static std::mutex gmtimeLock;
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    {
        std::lock_guard<std::mutex> lock(gmtimeLock);
        if (const std::tm* utc = std::gmtime(&now))
            parts = *utc;
    }
    char iso[32] = {};
    char compact[32] = {};
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%SZ", &parts);
    std::strftime(compact, sizeof compact, "%Y%m%dT%H%M%SZ", &parts);
    return {iso, compact};
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> sequence{0};
    static const unsigned processTag = std::random_device{}();
    return std::to_string(sequence.fetch_add(1)) + "-" + std::to_string(processTag);
}

int post(TSVersion_Mgr manager, const char* kind, const char* applicationName, const char* description) {
    if (manager == nullptr)
        return 0;
    try {
        const Timestamp time = utcNow();
        const fs::path target = manager->spool / (time.compact + "-" + uniqueSuffix() + ".report");
        fs::path partial = target;
        partial += ".partial";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out << "kind=" << kind << '\n'
                << "application=" << escaped(applicationName) << '\n'
                << "description=" << escaped(description) << '\n'
                << "time=" << time.iso << '\n';
            out.close();
            if (!out) {
                std::error_code ignored;
                fs::remove(partial, ignored);
                return 0;
            }
        }
        // The collector only picks up *.report files, so it never sees a half-written report.
        std::error_code error;
        fs::rename(partial, target, error);
        if (error) {
            fs::remove(partial, error);
            return 0;
        }
        return 1;
    } catch (const std::exception&) {
        return 0; // nothing unwinds into the C caller
    }
}

} // namespace

extern "C" int TSVersion_CreateMgr(TSVersion_Mgr* manager) {
    if (manager == nullptr)
        return 0;
    *manager = nullptr;
    try {
        fs::path spool = spoolFolder();
        if (spool.empty())
            return 0;
        std::error_code error;
        fs::create_directories(spool, error);
        if (!fs::is_directory(spool, error))
            return 0;
        *manager = new TSVersion_Manager{std::move(spool)};
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

extern "C" int TSVersion_PostInstallInfo(TSVersion_Mgr manager, const char* applicationName,
                                         const char* description) {
    return post(manager, "install", applicationName, description);
}

extern "C" int TSVersion_PostUninstallInfo(TSVersion_Mgr manager, const char* applicationName,
                                           const char* description) {
    return post(manager, "uninstall", applicationName, description);
}

extern "C" void TSVersion_DestroyMgr(TSVersion_Mgr manager) { delete manager; }
