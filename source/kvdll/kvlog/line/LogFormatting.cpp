#include "line/LogFormatting.h"

#include <cstdio>
#include <cstring>

namespace
{
const int kMaxDigits = 24;

// Appends the digits of the value in the base, zero-filled to minDigits.
void AppendDigits(CString& target, unsigned long long value, unsigned base, int minDigits)
{
    char digits[kMaxDigits];
    int start = RenderDigits(digits, kMaxDigits, value, base, false);
    const int wanted = minDigits < kMaxDigits ? minDigits : kMaxDigits;
    while (kMaxDigits - start < wanted)
        digits[--start] = '0';
    target.Append(digits + start, kMaxDigits - start);
}
} // namespace

int RenderDigits(char* buffer, int size, unsigned long long value, unsigned base, bool lowerCase)
{
    const char* const digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    int start = size;
    do
    {
        buffer[--start] = digits[value % base];
        value /= base;
    } while (value != 0 && start > 0);
    return start;
}

bool FormatInto(CString& target, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool formatted = FormatIntoV(target, format, args);
    va_end(args);
    return formatted;
}

bool FormatIntoV(CString& target, const char* format, va_list args)
{
    target.Empty();
    if (format == nullptr)
        return false;
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return length == 0;
    // The string keeps its capacity when shortened, so the same text never allocates twice.
    char* buffer = target.GetBufferSetLength(length);
    std::vsnprintf(buffer, static_cast<std::size_t>(length) + 1, format, args);
    target.ReleaseBuffer(length);
    return true;
}

void AppendRepeated(CString& target, char ch, int count)
{
    char block[64];
    std::memset(block, ch, sizeof(block));
    for (int left = count; left > 0; left -= static_cast<int>(sizeof(block)))
        target.Append(
            block, left < static_cast<int>(sizeof(block)) ? left : static_cast<int>(sizeof(block)));
}

void AppendDecimal(CString& target, unsigned long long value, int minDigits)
{
    AppendDigits(target, value, 10, minDigits);
}

void AppendSignedDecimal(CString& target, long long value)
{
    if (value < 0)
        target += '-';
    // The magnitude of the most negative value does not fit a signed number.
    const unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
    AppendDigits(target, magnitude, 10, 1);
}

void AppendHex(CString& target, unsigned long long value, int minDigits)
{
    AppendDigits(target, value, 16, minDigits);
}

void AppendClockTime(CString& target, const SYSTEMTIME& time)
{
    AppendDecimal(target, time.wHour, 2);
    target += ':';
    AppendDecimal(target, time.wMinute, 2);
    target += ':';
    AppendDecimal(target, time.wSecond, 2);
    target += '.';
    AppendDecimal(target, time.wMilliseconds, 3);
}

void AppendDateTime(CString& target, const SYSTEMTIME& time)
{
    AppendDecimal(target, time.wYear, 4);
    target += '-';
    AppendDecimal(target, time.wMonth, 2);
    target += '-';
    AppendDecimal(target, time.wDay, 2);
    target += ' ';
    AppendClockTime(target, time);
}
