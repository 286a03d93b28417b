// What only the posix stand-in has: the registry file, the allocator's counters, the locale's
// character set, and one shared library that every module of the process uses.
#include "platform/Platform.h"
#include "platform/PlatformTesting.h"
#include "platform/posix/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale.h>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Every registry test of this program, the shared ones included, works on a file of its own. It is
// set up before main, so no test can ever touch the machine's file.
struct RegistrySandbox {
    fs::path folder;
    fs::path file;
    RegistrySandbox() {
        std::string pattern = (fs::temp_directory_path() / "tarsin-registry-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        // A folder that does not exist yet: writing must create it.
        file = folder / "etc" / "registry.ini";
        setenv("TARSIN_REGISTRY", file.c_str(), 1);
    }
    ~RegistrySandbox() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};
const RegistrySandbox sandbox;

void writeRegistryFile(const std::string& content) {
    std::ofstream(sandbox.file, std::ios::binary) << content;
}
std::string readRegistryFile() {
    std::ifstream in(sandbox.file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RegistryFile : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(sandbox.file.parent_path()); }
    void TearDown() override { fs::remove(sandbox.file); }
};

TEST_F(RegistryFile, ReadsHandWrittenFiles) {
    writeRegistryFile("# machine settings\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                      "Folder=wrong section\r\n"
                      "[SOFTWARE\\TarsinScan]\r\n"
                      "Folder=no root name, so no such key\r\n"
                      "  [ hkey_local_machine\\software\\tarsinscan ]  \r\n"
                      "; Folder=commented out\r\n"
                      "  folder =  a=b  \r\n"
                      "Empty=\n"
                      "no equals sign here\n");
    const std::wstring key = L"SOFTWARE\\TarsinScan";
    // Everything after the first '=' is the value, spaces included; only the CR goes.
    EXPECT_EQ(platform::readMachineRegistryString(key, L"Folder"), L"  a=b  ");
    EXPECT_EQ(platform::readMachineRegistryString(key, L"Empty"), L"");
    EXPECT_EQ(platform::readMachineRegistryString(key, L"no equals sign here"), L"");
    EXPECT_EQ(platform::readMachineRegistryString(L"SOFTWARE\\Other", L"folder"), L"wrong section");

    // Read anew each time: a rewrite shows at once.
    writeRegistryFile("[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\nFolder=new\n");
    EXPECT_EQ(platform::readMachineRegistryString(key, L"Folder"), L"new");
    fs::remove(sandbox.file);
    EXPECT_EQ(platform::readMachineRegistryString(key, L"Folder"), L"");
}

TEST_F(RegistryFile, WritingKeepsTheRestOfTheFile) {
    writeRegistryFile("# machine settings\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\n"
                      "Folder=old\n"
                      "Keep=1\n"
                      "\n"
                      "; the next one\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
                      "Folder=other\n");
    using platform::testing::writeMachineRegistryString;
    writeMachineRegistryString(L"Software\\TarsinScan", L"FOLDER", std::wstring(L"new"));
    writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"Added", std::wstring(L"x"));
    writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"Keep", std::nullopt);
    writeMachineRegistryString(L"SOFTWARE\\Third", L"Name", std::wstring(L"\u00e9"));
    EXPECT_EQ(readRegistryFile(), "# machine settings\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\n"
                                  "Folder=new\n"
                                  "Added=x\n"
                                  "\n"
                                  "; the next one\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
                                  "Folder=other\n"
                                  "\n"
                                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Third]\n"
                                  "Name=\xC3\xA9\n");
    // One line per value: a line break cannot be stored.
    EXPECT_THROW(writeMachineRegistryString(L"SOFTWARE\\Third", L"Name", std::wstring(L"a\nb")),
                 std::invalid_argument);
}

TEST_F(RegistryFile, WritingCreatesTheFileAndItsFolder) {
    fs::remove_all(sandbox.file.parent_path());
    platform::testing::writeMachineRegistryString(L"SOFTWARE\\TarsinScan", L"Folder",
                                                  std::wstring(L"/scans"));
    EXPECT_EQ(readRegistryFile(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TarsinScan]\nFolder=/scans\n");
}

TEST(GlobalMemoryStats, CountsLiveAndLockedHandles) {
    const auto before = platform::testing::globalMemoryStats();
    ASSERT_TRUE(before);
    const auto stats = [&] {
        const auto now = platform::testing::globalMemoryStats();
        return std::make_pair(now->liveHandles - before->liveHandles,
                              now->lockedHandles - before->lockedHandles);
    };
    using Counts = std::pair<std::size_t, std::size_t>;

    const auto a = platform::globalAllocate(16), b = platform::globalAllocate(0);
    EXPECT_EQ(stats(), Counts(2, 0));
    platform::globalLock(a);
    platform::globalLock(a);
    EXPECT_NE(platform::globalLock(b), nullptr);
    EXPECT_EQ(stats(), Counts(2, 2));
    platform::globalUnlock(a);
    EXPECT_EQ(stats(), Counts(2, 2)); // locked twice, unlocked once
    platform::globalUnlock(a);
    platform::globalUnlock(a); // one unlock too many must not leave the count below zero
    EXPECT_EQ(stats(), Counts(2, 1));
    platform::globalLock(a);
    EXPECT_EQ(stats(), Counts(2, 2));

    // Freeing a locked block frees it; freeing it again, or something that never was a handle, does nothing.
    platform::globalFree(a);
    platform::globalFree(a);
    int notAHandle = 0;
    platform::globalFree(&notAHandle);
    EXPECT_EQ(platform::globalLock(a), nullptr);
    EXPECT_EQ(stats(), Counts(1, 1));
    platform::globalFree(b);
    EXPECT_EQ(stats(), Counts(0, 0));
}

TEST(Text, MalformedTextIsRefusedWhole) {
    for (const char* utf8 :
         {"\x80", "a\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"}) {
        EXPECT_EQ(platform::utf8ToUtf16(utf8), u"") << testing::PrintToString(utf8);
        EXPECT_EQ(platform::utf8ToWide(utf8), L"") << testing::PrintToString(utf8);
    }
    for (const std::u16string& utf16 : {std::u16string(u"a\xD800"), std::u16string(u"\xDC00z"),
                                        std::u16string{u'\xD800', u'\xD800', u'\xDC00'}})
        EXPECT_EQ(platform::utf16ToUtf8(utf16), "");
    EXPECT_EQ(platform::wideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "");
    EXPECT_EQ(platform::wideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "");
}

// Sets LC_ALL for one test; the platform reads the environment's locale on every conversion.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* value) {
        if (const char* old = std::getenv("LC_ALL"))
            saved_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~LocaleEnvironment() {
        if (saved_)
            setenv("LC_ALL", saved_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    std::optional<std::string> saved_;
};

TEST(AnsiCodePage, ThePlainCLocaleCountsAsUtf8) {
    LocaleEnvironment c("C");
    EXPECT_EQ(platform::utf16ToAcp(u"\u00fc\u20ac"), "\xC3\xBC\xE2\x82\xAC");
    EXPECT_EQ(platform::acpToUtf16("\xC3\xBC\xE2\x82\xAC"), u"\u00fc\u20ac");
}

TEST(AnsiCodePage, FollowsALatin1Locale) {
    // Only where such a locale is installed (or built into a folder named by LOCPATH).
    const char* name = nullptr;
    for (const char* candidate : {"de_DE.ISO-8859-1", "en_US.ISO-8859-1", "fr_FR.ISO-8859-1"}) {
        if (locale_t locale = newlocale(LC_CTYPE_MASK, candidate, static_cast<locale_t>(0))) {
            freelocale(locale);
            name = candidate;
            break;
        }
    }
    if (!name)
        GTEST_SKIP() << "no ISO-8859-1 locale installed";
    LocaleEnvironment latin1(name);
    EXPECT_EQ(platform::utf16ToAcp(u"Gr\u00fc\u00dfe"), "Gr\xFC\xDF"
                                                        "e");
    EXPECT_EQ(platform::acpToUtf16("Gr\xFC\xDF"
                                   "e"),
              u"Gr\u00fc\u00dfe");
    // The euro sign has no place in Latin-1: the conversion is refused, not approximated.
    EXPECT_EQ(platform::utf16ToAcp(u"5 \u20ac"), "");
}

TEST(SharedLibrary, EveryModuleSharesTheOnePlatformLibrary) {
    // thisModule() is the platform library itself, not its caller.
    const std::wstring path = platform::moduleFilePath(platform::thisModule());
    ASSERT_GE(path.size(), 22u);
    EXPECT_EQ(path.substr(path.size() - 22), L"/libtarsin-platform.so");
    EXPECT_EQ(path.front(), L'/');

    // Loading it again by its path yields the copy already in the process, with the same allocator.
    const auto loaded = platform::loadLibrary(path);
    ASSERT_NE(loaded.module, nullptr);
    EXPECT_EQ(platform::findSymbol(loaded.module, "tarsin_platform_global_memory_stats"),
              reinterpret_cast<void*>(&tarsin_platform_global_memory_stats));
    EXPECT_EQ(platform::findSymbol(loaded.module, "no_such_symbol"), nullptr);
    EXPECT_EQ(platform::findSymbol(nullptr, "tarsin_platform_global_memory_stats"), nullptr);
    platform::freeLibrary(loaded.module);

    EXPECT_EQ(platform::moduleFilePath(platform::moduleContaining(&sandbox)),
              platform::moduleFilePath(nullptr)); // the executable
}

} // namespace
