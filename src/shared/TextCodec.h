#pragma once
// Bytes read from the settings and list files become text here. New files are
// UTF-8; the Windows release wrote Shift-JIS (code page 932), which is
// recognised by not being valid UTF-8.

#include <string>
#include <string_view>

namespace textcodec {

bool isValidUtf8(std::string_view bytes);

// True for a byte that starts a two-byte Shift-JIS character.
constexpr bool isSjisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// UTF-8 text of stored bytes: unchanged when valid UTF-8, else decoded as CP932.
// Bytes CP932 cannot map become U+FFFD, so the result is always valid UTF-8.
std::string decode(std::string_view bytes);


}  // namespace textcodec
