// Conversion between the process's 8-bit ANSI code page and UTF-16. On Windows that is the
// system's ANSI code page, and characters it lacks become '?'. On POSIX it is UTF-8, the text
// programs there hold: a byte of no well-formed sequence reads as the ISO 8859-1 character of
// the same number (see Utf8Encoding.h), and every character can be written.
#pragma once

#include "CString.h"

#include <cstddef>
#include <string>

namespace os
{
// Every byte of the text is converted, zero bytes included.
std::u16string AnsiToWide(const char* text, int length);
inline std::u16string AnsiToWide(const CString& text)
{
    return AnsiToWide(text.GetString(), text.GetLength());
}
CString WideToAnsi(const std::u16string& text);
// The same as through UTF-16 (DecodeUtf8 and WideToAnsi, AnsiToWide and EncodeUtf8), without the
// UTF-16 copy, and without any copy of well-formed text, where the code page is UTF-8.
CString Utf8ToAnsi(std::string bytes);
std::string AnsiToUtf8(std::string text);
// The form in which the code page holds the text: what AnsiToWide and WideToAnsi make of it.
CString CanonicalAnsi(std::string text);
// Storage that AnsiAsUtf8 reuses, so that a conversion allocates only while it grows.
struct Utf8Conversion
{
    std::u16string wide;
    std::string utf8;
};
// The text in UTF-8: the text itself where the code page is UTF-8 (POSIX, a Windows set to UTF-8),
// else its conversion, held in the storage until the next conversion. length is the byte count,
// in and out.
const char* AnsiAsUtf8(const char* text, std::size_t& length, Utf8Conversion& storage);
// The name under which an HTML page declares the text the program holds: "UTF-8" on POSIX,
// where programs hold UTF-8; the process code page's name on Windows ("windows-1252").
CString GetTextCharsetName();
} // namespace os
