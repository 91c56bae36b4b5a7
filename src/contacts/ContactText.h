#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialvane {

// The bytes with every invalid UTF-8 sequence replaced by U+FFFD, so a reader's results are
// always valid UTF-8 whatever the source held.
std::string ValidUtf8(std::string_view bytes);

// An address-book file as UTF-8: a UTF-8, UTF-16LE or UTF-16BE byte-order mark decides first;
// otherwise `fromEncoding` (an iconv name) when given, else UTF-8. The mark is dropped. nullopt
// when `fromEncoding` is not an encoding iconv knows or the bytes are not valid in it.
std::optional<std::string> SourceBytesToUtf8(std::string_view bytes,
                                             std::string_view fromEncoding = {});

// Bytes in `charset` (an iconv name) -> UTF-8; nullopt when iconv does not know the name or the
// bytes are not valid in it.
std::optional<std::string> CharsetToUtf8(std::string_view bytes, std::string_view charset);

// True when iconv can convert from this encoding name.
bool IsKnownEncoding(std::string_view name);

// RFC 4648 Base64, whitespace ignored; nullopt on any other character or a bad length.
std::optional<std::string> DecodeBase64Text(std::string_view text);

// Quoted-printable: "=XX" gives the byte, a "=" at a line end joins the lines.
std::string DecodeQuotedPrintable(std::string_view text);

std::string LowerAscii(std::string_view text);

// The text cut at every occurrence of `separator`, each piece trimmed of blanks; empty pieces
// are left out.
std::vector<std::string> SplitTrimmed(std::string_view text, std::string_view separator);

}  // namespace dialvane
