#include "twain/Strings.h"

#include "platform/Platform.h"

namespace Twpp {

std::string utf8ToAcp(const std::string& text) { return platform::utf16ToAcp(platform::utf8ToUtf16(text)); }

std::string acpToUtf8(const std::string& text) { return platform::utf16ToUtf8(platform::acpToUtf16(text)); }

namespace {
template <std::size_t N>
void copyCut(FixedString<N>& field, const std::string& utf8Text) {
    const std::string converted = utf8ToAcp(utf8Text);
    // Stop at the converted text's own terminator, as a C string copy would.
    const std::size_t length = std::min(strnlen(converted.c_str(), converted.size()), N - 1);
    std::memcpy(field.data, converted.data(), length);
    field.data[length] = '\0';
}
} // namespace

void setStr255(Str255& field, const std::string& utf8Text) { copyCut(field, utf8Text); }
void setStr64(Str64& field, const std::string& utf8Text) { copyCut(field, utf8Text); }

} // namespace Twpp
