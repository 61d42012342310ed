// Whole text files read and written under exclusive access, with the byte-order mark telling
// the encoding. Texts are handed over in the process's ANSI code page and end at their first
// zero character.
#pragma once

#include "../framework/CString.h"

#include <string>

enum TextFileEncoding
{
    kTextFileFailed = 0, // reading only
    kTextFileAnsi = 1,   // 8-bit text, no mark
    kTextFileUtf16LE = 2,
    kTextFileUtf16BE = 3,
    kTextFileUtf8 = 4,
};

// The encoding found, or kTextFileFailed when the file cannot be opened exclusively or is
// empty. A file without a mark is UTF-16 LE when one of its first two bytes is zero (and it has
// at least three), 8-bit text otherwise.
int ReadTextFile(const char* path, CString& text);
// Writes the mark of the encoding and the converted text beside the file and renames it over the
// file (CLockedTextFile), so that a failed write leaves the old file whole; any encoding but 2,
// 3 and 4 writes the text's bytes as they are. 1 on success; 0, without waiting, while another
// program holds the file.
int WriteTextFile(const char* path, const CString& text, int encoding);
// ReadTextFile's decoding of the file's bytes, which it may take over as the text.
int DecodeTextFile(std::string bytes, CString& text);
// WriteTextFile's bytes for the text.
std::string EncodeTextFile(const CString& text, int encoding);
