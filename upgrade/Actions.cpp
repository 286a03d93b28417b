#include "Actions.h"

#include "OBVersion/OBVersion.h"
#include "platform/Platform.h"

#include <chrono>
#include <cwctype>
#include <thread>

namespace upgrade {
namespace {

constexpr wchar_t kApplicationKey[] = L"SOFTWARE\\OmbrixScan";
constexpr wchar_t kApplicationValue[] = L"Application";
// The installers wrote the path for a reader with this buffer; a longer value is not read.
constexpr std::size_t kApplicationValueBytes = 260;
constexpr auto kPollInterval = std::chrono::milliseconds(20);

bool equalIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

using PostFunction = int (*)(TSVersion_Mgr, const char*, const char*);

void postReport(PostFunction post, const std::string& applicationName, const std::string& description) {
    TSVersion_Mgr manager = nullptr;
    TSVersion_CreateMgr(&manager);
    if (manager == nullptr)
        return;
    post(manager, applicationName.c_str(), description.c_str());
    TSVersion_DestroyMgr(manager);
}

} // namespace

std::wstring readApplicationPath() {
    return platform::readMachineString(kApplicationKey, kApplicationValue, kApplicationValueBytes)
        .value_or(std::wstring());
}

bool isApplicationRunning(const std::string& applicationName) {
    if (applicationName != kScannerName)
        return false;
    const std::wstring path = readApplicationPath();
    if (path.empty())
        return false;
    const auto running = platform::processImagePaths();
    if (!running)
        return false;
    for (const std::wstring& image : *running)
        if (equalIgnoringCase(image, path))
            return true;
    return false;
}

void launchApplication(const std::string& applicationName) {
    if (applicationName != kScannerName)
        return;
    const std::wstring path = readApplicationPath();
    if (!path.empty())
        platform::openDetached(path);
}

void waitWhileApplicationRuns(const std::string& applicationName) {
    while (isApplicationRunning(applicationName))
        std::this_thread::sleep_for(kPollInterval);
}

void restartApplication(const std::string& applicationName) {
    if (!isApplicationRunning(applicationName))
        launchApplication(applicationName);
}

bool runPackage(const std::string& packagePath) {
    const auto exitCode = platform::runAndWait(packagePath, kSilentSwitch);
    return exitCode.has_value() && *exitCode == 0;
}

void postInstallReport(const std::string& applicationName, const std::string& description) {
    postReport(&TSVersion_PostInstallInfo, applicationName, description);
}

void postUninstallReport(const std::string& applicationName, const std::string& description) {
    postReport(&TSVersion_PostUninstallInfo, applicationName, description);
}

} // namespace upgrade
