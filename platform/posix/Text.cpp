// Text conversions. UTF-8 and UTF-16 are converted by hand, strictly: a malformed sequence refuses the
// whole text rather than smuggling replacement characters into a path or a name. The "ANSI code
// page" is the character set of the environment's locale, converted with iconv.
#include "platform/Platform.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr char32_t kReplacementLimit = 0x10FFFF;

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes UTF-8 into code points; nothing for overlong forms, surrogates, values past U+10FFFF and
// cut-off sequences.
std::optional<std::u32string> decodeUtf8(const std::string& text) {
    std::u32string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            result.push_back(lead);
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (text.size() - i < static_cast<std::size_t>(length))
            return std::nullopt;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[length] || c > kReplacementLimit || isSurrogate(c))
            return std::nullopt;
        result.push_back(c);
        i += static_cast<std::size_t>(length);
    }
    return result;
}

// Encodes code points as UTF-8; nothing when one is not a Unicode scalar value.
std::optional<std::string> encodeUtf8(const std::u32string& codePoints) {
    std::string result;
    result.reserve(codePoints.size());
    for (char32_t c : codePoints) {
        if (c > kReplacementLimit || isSurrogate(c))
            return std::nullopt;
        if (c < 0x80) {
            result.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (c >> 6)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (c >> 12)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (c >> 18)));
            result.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return result;
}

// The character set of the environment's locale, or nothing when it is UTF-8 already. Asked anew on
// each call, and without setlocale: a library must not change the process's locale.
std::optional<std::string> ansiCodeset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return std::nullopt;
    std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    // The C locale reports plain ASCII. Containers often set no locale at all; taking that literally
    // would refuse every non-ASCII file name, so it counts as UTF-8, as the systems that set one use.
    if (codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "UTF-8" || codeset == "utf8")
        return std::nullopt;
    return codeset;
}

// Converts all of `text` from one iconv character set to another; nothing when iconv refuses.
std::optional<std::string> convert(const std::string& text, const char* to, const char* from) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string result;
    std::vector<char> buffer(text.size() * 4 + 16);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    bool flushing = false, ok = true;
    for (;;) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        // After the text, one call without input writes out the shift state of stateful character sets.
        const std::size_t done = flushing ? iconv(converter, nullptr, nullptr, &out, &outLeft)
                                          : iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
        if (done == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            ok = false;
            break;
        }
        if (flushing)
            break;
        flushing = inLeft == 0;
    }
    iconv_close(converter);
    if (!ok)
        return std::nullopt;
    return result;
}

} // namespace

std::u16string utf8ToUtf16(const std::string& text) {
    const auto codePoints = decodeUtf8(text);
    if (!codePoints)
        return {};
    std::u16string result;
    result.reserve(codePoints->size());
    for (char32_t c : *codePoints) {
        if (c < 0x10000) {
            result.push_back(static_cast<char16_t>(c));
        } else {
            c -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        }
    }
    return result;
}

std::string utf16ToUtf8(const std::u16string& text) {
    std::u32string codePoints;
    codePoints.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return {};
            codePoints.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return {};
        } else {
            codePoints.push_back(unit);
        }
    }
    return encodeUtf8(codePoints).value_or(std::string());
}

std::string utf16ToAcp(const std::u16string& text) {
    std::string utf8 = utf16ToUtf8(text);
    const auto codeset = ansiCodeset();
    if (!codeset || utf8.empty())
        return utf8;
    return convert(utf8, codeset->c_str(), "UTF-8").value_or(std::string());
}

std::u16string acpToUtf16(const std::string& text) {
    const auto codeset = ansiCodeset();
    if (!codeset || text.empty())
        return utf8ToUtf16(text);
    const auto utf8 = convert(text, "UTF-8", codeset->c_str());
    return utf8 ? utf8ToUtf16(*utf8) : std::u16string();
}

// wchar_t holds whole code points here (UTF-32).
std::string wideToUtf8(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "wchar_t is expected to be UTF-32");
    return encodeUtf8(std::u32string(text.begin(), text.end())).value_or(std::string());
}

std::wstring utf8ToWide(const std::string& text) {
    const auto codePoints = decodeUtf8(text);
    return codePoints ? std::wstring(codePoints->begin(), codePoints->end()) : std::wstring();
}

} // namespace platform
