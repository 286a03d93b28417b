// Text conversions over the Win32 API: measure, then convert. A conversion the system refuses gives
// an empty string.
#include "platform/Platform.h"

#include <windows.h>

#include <climits>

namespace platform {

namespace {

std::wstring toWide(UINT codePage, const std::string& text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(codePage, 0, text.data(), length, &result[0], needed) != needed)
        return {};
    return result;
}

std::string fromWide(UINT codePage, const wchar_t* text, std::size_t size) {
    if (size == 0 || size > INT_MAX)
        return {};
    const int length = static_cast<int>(size);
    const int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string result(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(codePage, 0, text, length, &result[0], needed, nullptr, nullptr) != needed)
        return {};
    return result;
}

// wchar_t is a UTF-16 unit here, so the two string types share their representation.
std::u16string toU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

} // namespace

std::u16string utf8ToUtf16(const std::string& text) { return toU16(toWide(CP_UTF8, text)); }

std::string utf16ToUtf8(const std::u16string& text) {
    return fromWide(CP_UTF8, reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::string utf16ToAcp(const std::u16string& text) {
    return fromWide(CP_ACP, reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string acpToUtf16(const std::string& text) { return toU16(toWide(CP_ACP, text)); }

std::string wideToUtf8(const std::wstring& text) { return fromWide(CP_UTF8, text.data(), text.size()); }

std::wstring utf8ToWide(const std::string& text) { return toWide(CP_UTF8, text); }

} // namespace platform
