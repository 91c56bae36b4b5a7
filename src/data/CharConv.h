#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dialvane {

// The narrow code page of dial list files.
enum class NarrowCodePage { Windows1252, Cp932 };
void SetNarrowCodePage(NarrowCodePage page);  // chosen once at start-up from LANG ("JPN" -> Cp932)
NarrowCodePage CurrentNarrowCodePage();

// UTF-8 -> file bytes in the current code page; nullopt when a character cannot be expressed.
std::optional<std::string> Utf8ToNarrow(std::string_view utf8);
std::optional<std::string> Utf8ToNarrow(std::string_view utf8, NarrowCodePage page);
// File bytes -> UTF-8; bytes that are not valid in the code page become U+FFFD (never throws).
std::string NarrowToUtf8(std::string_view bytes);
std::string NarrowToUtf8(std::string_view bytes, NarrowCodePage page);

std::u16string Utf8ToUtf16(std::string_view utf8);   // invalid UTF-8 -> U+FFFD
std::string Utf16ToUtf8(std::u16string_view utf16);  // lone surrogates -> U+FFFD

// UTF-16BE + 00 00; "" -> 00 00; "AB" -> 00 41 00 42 00 00.
std::string ToDeviceText(std::string_view utf8);
// Pairs high byte first, cut at the first zero unit; an odd trailing byte is ignored.
std::string FromDeviceText(std::string_view bytes);
// Zero-filled field of fieldSize bytes; never writes past fieldSize (cuts).
std::string PackField(std::string_view bytes, size_t fieldSize);
// Full-width ASCII forms -> ASCII, full-width katakana -> half-width; cut at the first NUL.
std::string FoldToHalfWidth(std::string_view utf8);

}  // namespace dialvane
