// Conversion between the process's 8-bit ANSI code page and UTF-16. On Windows that is the
// system's ANSI code page; on POSIX it is ISO 8859-1, whose 256 characters map to the first 256
// code points one to one. Characters the code page lacks become '?'.
#pragma once

#include "CString.h"

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
// The name under which an HTML page declares the text the program holds: "UTF-8" on POSIX,
// where programs hold UTF-8; the process code page's name on Windows ("windows-1252").
CString GetTextCharsetName();
} // namespace os
