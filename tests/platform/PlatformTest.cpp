// Behaviour the data source relies on from both platforms: the real Win32 one and the posix stand-in.
#include "platform/Platform.h"
#include "platform/PlatformTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using platform::testing::writeMachineRegistryString;

const std::wstring kKey = L"SOFTWARE\\TarsinScanPlatformTest";

// A unique file name in the temporary folder (ANSI code page), removed again when the test ends.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& suffix)
        : path_(platform::temporaryDirectory() + "tarsin-platform-test-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix) {
        platform::deleteFile(path_);
    }
    ~TemporaryFile() { platform::deleteFile(path_); }
    const std::string& path() const { return path_; }
    std::wstring widePath() const {
        return platform::utf8ToWide(platform::utf16ToUtf8(platform::acpToUtf16(path_)));
    }
    void write(const std::string& content) const { std::ofstream(path_, std::ios::binary) << content; }
    std::string read() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string path_;
};

bool exists(const std::string& path) { return std::ifstream(path).good(); }

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        for (const wchar_t* name : {L"Folder", L"Other", L"Empty"})
            writeMachineRegistryString(kKey, name, std::nullopt);
    }
};

TEST_F(Registry, ReadsWhatWasWrittenUntilItIsDeleted) {
    writeMachineRegistryString(kKey, L"Folder", std::wstring(L"C:\\Scans\\Grüße"));
    writeMachineRegistryString(kKey, L"Other", std::wstring(L"kept"));
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Folder"), L"C:\\Scans\\Grüße");

    writeMachineRegistryString(kKey, L"Folder", std::wstring(L"replaced=with an equals sign"));
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Folder"), L"replaced=with an equals sign");

    writeMachineRegistryString(kKey, L"Folder", std::nullopt);
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Folder"), L"");
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Other"), L"kept");
}

TEST_F(Registry, MissingAndEmptyValuesReadAsEmpty) {
    writeMachineRegistryString(kKey, L"Empty", std::wstring());
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Empty"), L"");
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"NoSuchValue"), L"");
    EXPECT_EQ(platform::readMachineRegistryString(L"SOFTWARE\\TarsinScanNoSuchKey", L"Folder"), L"");
    // Deleting what is not there is not an error.
    EXPECT_NO_THROW(writeMachineRegistryString(L"SOFTWARE\\TarsinScanNoSuchKey", L"Folder", std::nullopt));
}

TEST_F(Registry, NamesIgnoreCase) {
    writeMachineRegistryString(kKey, L"Folder", std::wstring(L"one"));
    EXPECT_EQ(platform::readMachineRegistryString(L"software\\tarsinscanplatformtest", L"FOLDER"), L"one");
    // Writing under another spelling changes the same value rather than adding a second one.
    writeMachineRegistryString(kKey, L"fOLDER", std::wstring(L"two"));
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"Folder"), L"two");
    writeMachineRegistryString(kKey, L"FOLDER", std::nullopt);
    EXPECT_EQ(platform::readMachineRegistryString(kKey, L"folder"), L"");
}

TEST(ReadIniInt, ReadsLikeTheProfileFunction) {
    TemporaryFile ini(".ini");
    ini.write("; first.cfg\r\n"
              "[Scanner]\r\n"
              "one=1\r\n"
              "Two = 2 \r\n"
              "negative=-3\r\n"
              "letters=x\r\n"
              "trailing=12abc\r\n"
              "blank=\r\n"
              "[Other]\r\n"
              "only=7\r\n");
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        int expected;
    } cases[] = {
        {L"Scanner", L"one", 1},      {L"scanner", L"TWO", 2},       {L"Scanner", L"negative", -3},
        {L"Scanner", L"letters", 0},  {L"Scanner", L"trailing", 12}, {L"Scanner", L"blank", 99},
        {L"Scanner", L"missing", 99}, {L"Scanner", L"only", 99},     {L"Missing", L"one", 99},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::readIniInt(ini.widePath(), c.section, c.key, 99), c.expected)
            << platform::wideToUtf8(c.section) << "/" << platform::wideToUtf8(c.key);

    TemporaryFile missing(".missing.ini");
    EXPECT_EQ(platform::readIniInt(missing.widePath(), L"Scanner", L"one", 42), 42);
}

TEST(Text, NonAsciiSurvivesEveryRoundTrip) {
    const std::u16string text = u"Grüße, café";
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"
                             "e, caf\xC3\xA9";
    EXPECT_EQ(platform::utf8ToUtf16(utf8), text);
    EXPECT_EQ(platform::utf16ToUtf8(text), utf8);
    EXPECT_EQ(platform::acpToUtf16(platform::utf16ToAcp(text)), text);
    EXPECT_EQ(platform::utf8ToWide(platform::wideToUtf8(L"Grüße \U0001F5A8")), L"Grüße \U0001F5A8");
    // Beyond the basic plane UTF-16 needs a surrogate pair.
    EXPECT_EQ(platform::utf8ToUtf16("\xF0\x9F\x96\xA8"), u"\U0001F5A8");
    EXPECT_EQ(platform::utf16ToUtf8(u"\U0001F5A8"), "\xF0\x9F\x96\xA8");
    EXPECT_EQ(platform::utf8ToUtf16(""), u"");
    EXPECT_EQ(platform::utf16ToAcp(u""), "");
}

TEST(LoadLibrary, MissingFileIsModuleNotFound) {
    TemporaryFile missing(".missing");
    const auto result = platform::loadLibrary(platform::utf8ToWide(missing.path()) +
                                              platform::sharedLibraryFileName(L"nothing"));
    EXPECT_EQ(result.module, nullptr);
    EXPECT_TRUE(result.isModuleNotFound);
}

TEST(LoadLibrary, BrokenFileIsNotModuleNotFound) {
    // A file that is there but is no library: retrying from its folder cannot help.
    TemporaryFile broken("." + platform::wideToUtf8(platform::sharedLibraryFileName(L"broken")));
    broken.write(std::string(4096, 'x'));
    const auto result = platform::loadLibrary(broken.widePath());
    EXPECT_EQ(result.module, nullptr);
    EXPECT_FALSE(result.isModuleNotFound);
}

void functionOfTheTestProgram() {}

TEST(Modules, ModuleContainingNamesTheCallersFile) {
    const auto module = platform::moduleContaining(reinterpret_cast<const void*>(&functionOfTheTestProgram));
    ASSERT_NE(module, nullptr);
    const std::wstring path = platform::moduleFilePath(module);
    EXPECT_NE(path.find(L"platform_test"), std::wstring::npos) << platform::wideToUtf8(path);
    EXPECT_EQ(path.find(L"platform_test"), path.rfind(platform::kPathSeparator) + 1)
        << platform::wideToUtf8(path);
    EXPECT_EQ(platform::moduleContaining(nullptr), nullptr);
}

TEST(Files, CurrentDirectoryMovesAndComesBack) {
    const std::wstring start = platform::currentDirectory();
    ASSERT_FALSE(start.empty());
    std::string temporary = platform::temporaryDirectory();
    ASSERT_FALSE(temporary.empty());
    EXPECT_TRUE(temporary.back() == '/' || temporary.back() == '\\');
    temporary.pop_back();
    ASSERT_TRUE(platform::setCurrentDirectory(platform::utf8ToWide(temporary)));
    EXPECT_NE(platform::currentDirectory(), start);
    EXPECT_FALSE(platform::setCurrentDirectory(platform::utf8ToWide(temporary) + L"-no-such-folder"));
    EXPECT_TRUE(platform::setCurrentDirectory(start));
    EXPECT_EQ(platform::currentDirectory(), start);
}

TEST(Files, MoveAndDelete) {
    TemporaryFile from(".from"), to(".to");
    from.write("image");
    ASSERT_TRUE(platform::moveFile(from.path(), to.path()));
    EXPECT_FALSE(exists(from.path()));
    EXPECT_EQ(to.read(), "image");

    // Nothing to move; and a move never replaces an existing file.
    EXPECT_FALSE(platform::moveFile(from.path(), to.path()));
    from.write("second");
    EXPECT_FALSE(platform::moveFile(from.path(), to.path()));
    EXPECT_EQ(to.read(), "image");

    EXPECT_TRUE(platform::deleteFile(to.path()));
    EXPECT_FALSE(exists(to.path()));
    EXPECT_FALSE(platform::deleteFile(to.path()));
}

TEST(GlobalMemory, BlocksAreZeroFilledAndKeepTheirContent) {
    for (uint32_t size : {0u, 1u, 4096u, 1u << 20}) {
        const auto handle = platform::globalAllocate(size);
        ASSERT_NE(handle, nullptr) << size;
        auto* bytes = static_cast<unsigned char*>(platform::globalLock(handle));
        if (size == 0) {
            platform::globalUnlock(handle);
            platform::globalFree(handle);
            continue;
        }
        ASSERT_NE(bytes, nullptr) << size;
        bool allZero = true;
        for (uint32_t i = 0; i < size; ++i)
            allZero = allZero && bytes[i] == 0;
        EXPECT_TRUE(allZero) << size;
        std::memset(bytes, 0xA5, size);
        platform::globalUnlock(handle);
        bytes = static_cast<unsigned char*>(platform::globalLock(handle));
        EXPECT_EQ(bytes[0], 0xA5);
        EXPECT_EQ(bytes[size - 1], 0xA5);
        platform::globalUnlock(handle);
        platform::globalFree(handle);
    }
    platform::globalFree(nullptr);
}

} // namespace
