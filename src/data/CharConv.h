#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dialvane {

// The narrow code page of dial list files and fax numbers (TextRules picks it per language).
enum class NarrowCodePage { Windows1252, Cp932 };

// UTF-8 -> bytes in the code page; nullopt when a character cannot be expressed.
std::optional<std::string> Utf8ToNarrow(std::string_view utf8, NarrowCodePage page);
// Bytes in the code page -> UTF-8; bytes that are not valid there become U+FFFD (never throws).
std::string NarrowToUtf8(std::string_view bytes, NarrowCodePage page);

// The encoding of a dial list file. The device's texts do not depend on it: the file is read
// into UTF-8 and the device encoding starts from there. Utf8Marked is UTF-8 behind a byte-order
// mark, which every reader takes as UTF-8 whatever encoding it was asked for.
enum class FileEncoding { Cp932, Windows1252, Utf8, Utf8Marked };
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// The file encoding of a code page: what files are in unless the user names another encoding.
FileEncoding CodePageEncoding(NarrowCodePage page);
// "cp932", "cp1252" or "utf-8" (any case; also "utf8"); nullopt for anything else.
std::optional<FileEncoding> ParseFileEncoding(std::string_view name);
std::string_view FileEncodingName(FileEncoding encoding);  // the name ParseFileEncoding reads
// True when the bytes are read as UTF-8: asked for, or marked (no list in a code page can
// start with the mark, as no record begins with those bytes).
bool ReadsAsUtf8(std::string_view bytes, FileEncoding encoding);
// File bytes -> UTF-8, the mark dropped; bytes not valid in the encoding become U+FFFD.
std::string FileBytesToUtf8(std::string_view bytes, FileEncoding encoding);
// UTF-8 -> the bytes of one line (the writer puts the mark in front of a whole file); nullopt
// when a character cannot be expressed or the text is not valid UTF-8.
std::optional<std::string> Utf8ToFileBytes(std::string_view utf8, FileEncoding encoding);
// Valid UTF-8 holding at least one multi-byte character: a file saved as UTF-8 by an editor.
bool IsUtf8WithNonAscii(std::string_view bytes);

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
