// UTF-8 as the settings files use it: each 16-bit unit on its own (a surrogate pair becomes two
// three-byte sequences), and a lenient decoder that never rejects a byte.
#pragma once

#include "../framework/CString.h"

#include <cstddef>
#include <string>

// One, two or three bytes per unit; no byte-order mark.
CString EncodeUtf8(const std::u16string& text);
// Two- and three-byte sequences become their unit, sequences of four to six bytes U+FFFD; a
// byte that starts no complete sequence stands for the character of the same number.
std::u16string DecodeUtf8(const unsigned char* bytes, std::size_t count);
