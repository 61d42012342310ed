#include "line/LogFormatting.h"

#include <cstdio>
#include <cstring>

namespace
{
const int kMaxDigits = 24;

// Renders the digits of the value in the base, zero-filled to minDigits, into the end of the
// buffer of kMaxDigits and returns the index of the first digit.
int RenderFilledDigits(char* digits, unsigned long long value, unsigned base, int minDigits)
{
    int start = RenderDigits(digits, kMaxDigits, value, base, false);
    const int wanted = minDigits < kMaxDigits ? minDigits : kMaxDigits;
    while (kMaxDigits - start < wanted)
        digits[--start] = '0';
    return start;
}

char* PutDigits(char* text, unsigned long long value, unsigned base, int minDigits)
{
    char digits[kMaxDigits];
    const int start = RenderFilledDigits(digits, value, base, minDigits);
    std::memcpy(text, digits + start, static_cast<std::size_t>(kMaxDigits - start));
    return text + (kMaxDigits - start);
}

void AppendDigits(CString& target, unsigned long long value, unsigned base, int minDigits)
{
    char text[kMaxDigits];
    target.Append(text, static_cast<int>(PutDigits(text, value, base, minDigits) - text));
}
} // namespace

int RenderDigits(char* buffer, int size, unsigned long long value, unsigned base, bool lowerCase)
{
    int start = size;
    // Each base divides by its constant, which the compiler turns into a multiplication.
    if (base == 10)
    {
        do
        {
            buffer[--start] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 && start > 0);
        return start;
    }
    const char* const digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    do
    {
        buffer[--start] = digits[value % 16];
        value /= 16;
    } while (value != 0 && start > 0);
    return start;
}

char* PutDecimal(char* text, unsigned long long value, int minDigits)
{
    return PutDigits(text, value, 10, minDigits);
}

char* PutHex(char* text, unsigned long long value, int minDigits)
{
    return PutDigits(text, value, 16, minDigits);
}

int RenderDateTime(char* text, const SYSTEMTIME& time)
{
    char* p = PutDecimal(text, time.wYear, 4);
    *p++ = '-';
    p = PutDecimal(p, time.wMonth, 2);
    *p++ = '-';
    p = PutDecimal(p, time.wDay, 2);
    *p++ = ' ';
    p = PutDecimal(p, time.wHour, 2);
    *p++ = ':';
    p = PutDecimal(p, time.wMinute, 2);
    *p++ = ':';
    p = PutDecimal(p, time.wSecond, 2);
    *p++ = '.';
    p = PutDecimal(p, time.wMilliseconds, 3);
    return static_cast<int>(p - text);
}

int RenderTimestamp(char* text, const os::PreciseLocalTime& time)
{
    const auto magnitude = [](long value)
    { return value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value; };
    const struct
    {
        long value;
        int digits;
        char after;
    } parts[] = {{time.year, 4, '-'},
                 {time.month, 2, '-'},
                 {time.day, 2, 'T'},
                 {time.hour, 2, ':'},
                 {time.minute, 2, ':'},
                 {time.second, 2, '.'},
                 {time.microsecond, 6, time.utcOffsetMinutes < 0 ? '-' : '+'},
                 {time.utcOffsetMinutes / 60, 2, ':'}};
    char* p = text;
    for (const auto& part : parts)
    {
        p = PutDecimal(p, magnitude(part.value), part.digits);
        *p++ = part.after;
    }
    p = PutDecimal(p, magnitude(time.utcOffsetMinutes % 60), 2);
    return static_cast<int>(p - text);
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
    char text[kMaxDateTimeLength];
    const int length = RenderDateTime(text, time);
    target.Append(text + length - kClockTimeLength, kClockTimeLength);
}

void AppendDateTime(CString& target, const SYSTEMTIME& time)
{
    char text[kMaxDateTimeLength];
    target.Append(text, RenderDateTime(text, time));
}
