// UTF-8 inside, the file's own encoding at its edge. Windows-1251 is our
// own table, so no codec of the machine is needed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rtl {

// Every byte decodes (0x98, unassigned, maps to U+0098 so bytes round-trip).
std::string Cp1251ToUtf8(std::string_view bytes);

// Encodes UTF-8 text; nullopt when a character has no Windows-1251 byte or
// the text is not valid UTF-8.
std::optional<std::string> Utf8ToCp1251(std::string_view text);

// Decodes UTF-8 into code points; invalid sequences yield U+FFFD.
std::u32string Utf8ToUtf32(std::string_view text);
std::string Utf32ToUtf8(std::u32string_view text);

} // namespace rtl
