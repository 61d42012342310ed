// UTF-8, as the settings files, the syslog messages and the Linux code page use it. Decoding never
// fails: a byte that starts no well-formed sequence (a stray continuation byte, a sequence cut
// short, an overlong form, an encoded surrogate, a code beyond U+10FFFF, the bytes C0, C1 and
// F5 to FF) stands for the ISO 8859-1 character of the same number, so that 8-bit text of older
// tools still reads as it was meant, and decoding goes on at the next byte.
#pragma once

#include "CString.h"

#include <cstddef>
#include <string>

// One to four bytes per character, a surrogate pair as one four-byte sequence; a surrogate
// without its partner becomes U+FFFD. No byte-order mark.
CString EncodeUtf8(const std::u16string& text);
// Characters beyond U+FFFF become surrogate pairs.
std::u16string DecodeUtf8(const unsigned char* bytes, std::size_t count);
// EncodeUtf8(DecodeUtf8(bytes)) in one pass: well-formed sequences stay, every other byte becomes
// its ISO 8859-1 character. Well-formed text is handed back as it is, without a copy.
std::string RepairUtf8(std::string bytes);
// The length of the well-formed sequence of two to four bytes at the bytes, and its code point;
// 0 when none starts there (an ASCII byte included).
std::size_t ReadUtf8Sequence(const unsigned char* bytes, std::size_t count, char32_t& code);
