// Fixed-size TWAIN strings in the ANSI code page, and their conversion to the UTF-8 used inside.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace Twpp {

template <std::size_t N>
struct FixedString {
    static constexpr std::size_t kSize = N;
    static constexpr std::size_t kMaxLength = N - 1;
    char data[N] = {};

    constexpr FixedString() = default;
    // From a literal: its bytes, then zeros to the end of the field; cut to keep one terminator.
    FixedString(const char* text) { assign(text); }

    void assign(const char* text) {
        std::memset(data, 0, N);
        const std::size_t length = strnlen(text, kMaxLength);
        std::memcpy(data, text, length);
    }
    // The text up to the first zero byte, never past the field.
    std::string str() const { return std::string(data, strnlen(data, N)); }

    friend bool operator==(const FixedString& a, const FixedString& b) {
        return std::memcmp(a.data, b.data, N) == 0;
    }
};

using Str32 = FixedString<34>;
using Str64 = FixedString<66>;
using Str128 = FixedString<130>;
using Str255 = FixedString<256>;
static_assert(sizeof(Str32) == 34 && sizeof(Str64) == 66 && sizeof(Str255) == 256);

// UTF-8 <-> the process's ANSI code page, both through UTF-16. No error path: a conversion the
// system refuses gives an empty string.
std::string utf8ToAcp(const std::string& text);
std::string acpToUtf8(const std::string& text);

// Copies the converted text into the field, cut at 255 (Str255) or 65 (Str64) bytes, followed by one
// zero byte; the bytes after the terminator keep what the field held.
void setStr255(Str255& field, const std::string& utf8Text);
void setStr64(Str64& field, const std::string& utf8Text);
// The field's text up to its first zero byte, as UTF-8.
template <std::size_t N>
std::string strToUtf8(const FixedString<N>& field) {
    return acpToUtf8(field.str());
}

} // namespace Twpp
