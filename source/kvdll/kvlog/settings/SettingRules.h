// The rules for values of the settings file beyond a range of numbers. They belong to the
// settings rules library (with CSettingKey), which kvlogctl links as well as the module.
#pragma once

#include "CString.h"

// The widest cell that a hex dump's byte format may give for one byte.
const int kMaxByteCellLength = 64;
// The widest hex dump row and the deepest indent, so that a wild setting cannot fill the memory
// with the blanks of a dump.
const unsigned long kMaxHexDumpBytesPerLine = 4096;
const unsigned long kMaxDumpIndent = 1000;

// A number as the settings file holds it: decimal digits, or "0x" and hexadecimal digits, with
// blanks around, and at most 32 bits. value is left alone when the text is none.
bool ParseSettingNumber(const char* text, unsigned long& value);
// True for a hex dump byte format with exactly one conversion of an int, asking for nothing
// more, and giving no byte a cell wider than kMaxByteCellLength.
bool IsUsableByteFormat(const char* format);
// True for a "Filename" that names a file inside the log folder other than a settings file of
// the suite; otherwise problem says why, naming the value.
bool CheckLogFileName(const char* name, CString& problem);
