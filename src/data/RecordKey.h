#pragma once

#include <string>
#include <string_view>

namespace dialvane {

// A record key is a kind letter (S speed dial, G group, W one-touch button or quick dial, N
// sender) followed by a decimal number.
//
// The text is trimmed first. An empty text returns false and leaves letter and number untouched.
// One character: number = -1, false. Otherwise the rest is read as a signed decimal integer
// (leading zeros accepted); a rest that is not an integer gives -1. Returns number != -1.
bool ParseRecordKey(std::string_view text, char& letter, int& number);

// Canonical key text: S005, G05, 005 ('s'), 05 ('g'), W05, N05. The digits are the last `width`
// characters of "000" + number, so S with 1234 gives S234.
std::string FormatRecordKey(char letter, int number);

// The short form kept in the record table: the letter and the number without leading zeros (S5).
std::string ShortRecordKey(char letter, int number);

}  // namespace dialvane
