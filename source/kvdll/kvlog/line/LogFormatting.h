// Formatting into existing texts, reusing their storage so that steady logging does not
// allocate. The Append functions render by hand: the line path calls no printf-family function
// except for the caller's own format.
#pragma once

#include "CString.h"
#include "FrameworkTypes.h"
#include "OsTime.h"

#include <cstdarg>

// False when the C library rejects the format; the target is then empty.
bool FormatInto(CString& target, const char* format, ...) KV_PRINTF_FORMAT(2, 3);
bool FormatIntoV(CString& target, const char* format, va_list args);

// Room for the text of RenderDateTime, "yyyy-mm-dd hh:mm:ss.mmm", whatever the fields hold.
const int kMaxDateTimeLength = 48;
// "hh:mm:ss.mmm", the end of a date and time.
const int kClockTimeLength = 12;

// Renders the digits of the value (base 10, else 16) into the end of the buffer and returns the
// index of the first digit.
int RenderDigits(char* buffer, int size, unsigned long long value, unsigned base, bool lowerCase);
// Writes the decimal digits of the value, zero-filled to minDigits, at the text and returns the
// end of what it wrote.
char* PutDecimal(char* text, unsigned long long value, int minDigits);
// The same with upper-case hexadecimal digits.
char* PutHex(char* text, unsigned long long value, int minDigits);
// Writes "yyyy-mm-dd hh:mm:ss.mmm" at the text and returns its length.
int RenderDateTime(char* text, const SYSTEMTIME& time);
// Room for the text of RenderTimestamp, whatever the fields hold.
const int kMaxTimestampLength = 192;
// Writes the time as the internet's timestamps show it, "2026-12-06T09:14:03.482113+01:00", at
// the text and returns its length.
int RenderTimestamp(char* text, const os::PreciseLocalTime& time);
// The character count times.
void AppendRepeated(CString& target, char ch, int count);
// At least minDigits digits, zero-filled ("%.3lu").
void AppendDecimal(CString& target, unsigned long long value, int minDigits = 1);
// "%d" of the value.
void AppendSignedDecimal(CString& target, long long value);
// Upper-case hexadecimal digits, zero-filled to minDigits ("%.6lX").
void AppendHex(CString& target, unsigned long long value, int minDigits = 1);
// "hh:mm:ss.mmm".
void AppendClockTime(CString& target, const SYSTEMTIME& time);
// "yyyy-mm-dd hh:mm:ss.mmm".
void AppendDateTime(CString& target, const SYSTEMTIME& time);
