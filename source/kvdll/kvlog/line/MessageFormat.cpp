#include "line/MessageFormat.h"

#include "OsNumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace
{
// Widths and precisions beyond this are left to vsnprintf.
const int kMaxWidth = 4096;

struct Conversion
{
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    // '\0', 'H' (hh), 'h', 'l', 'L' (ll) or 'z'.
    char length = '\0';
    char kind = '\0';
};

class Output
{
public:
    Output(char* buffer, int size) : m_next(buffer), m_end(buffer + size - 1) {}

    bool Fits(int count) const { return count <= m_end - m_next; }
    void Put(const char* text, int count)
    {
        std::memcpy(m_next, text, static_cast<std::size_t>(count));
        m_next += count;
    }
    void Fill(char ch, int count)
    {
        std::memset(m_next, ch, static_cast<std::size_t>(count));
        m_next += count;
    }
    char* Next() const { return m_next; }

private:
    char* m_next;
    char* const m_end;
};

// Reads flags, width, precision and length; false for what is left to vsnprintf.
bool ReadConversion(const char*& f, va_list& args, Conversion& c)
{
    for (;; ++f)
    {
        if (*f == '-')
            c.left = true;
        else if (*f == '+')
            c.plus = true;
        else if (*f == ' ')
            c.space = true;
        else if (*f == '0')
            c.zero = true;
        else
            break;
    }
    if (*f == '*')
    {
        const long long width = va_arg(args, int);
        c.left = c.left || width < 0;
        // Any width beyond the bound is refused alike.
        c.width = static_cast<int>(std::min(std::llabs(width), kMaxWidth + 1LL));
        ++f;
    }
    else
        for (; *f >= '0' && *f <= '9' && c.width <= kMaxWidth; ++f)
            c.width = c.width * 10 + (*f - '0');
    if (*f == '.')
    {
        ++f;
        c.precision = 0;
        if (*f == '*')
        {
            const int precision = va_arg(args, int);
            c.precision = precision < 0 ? -1 : precision;
            ++f;
        }
        else
            for (; *f >= '0' && *f <= '9' && c.precision <= kMaxWidth; ++f)
                c.precision = c.precision * 10 + (*f - '0');
    }
    if (*f == 'h' || *f == 'l')
    {
        c.length = f[1] == f[0] ? static_cast<char>(f[0] == 'h' ? 'H' : 'L') : f[0];
        f += f[1] == f[0] ? 2 : 1;
    }
    else if (*f == 'z')
    {
        c.length = 'z';
        ++f;
    }
    c.kind = *f;
    if (c.kind != '\0')
        ++f;
    return c.width <= kMaxWidth && c.precision <= kMaxWidth;
}

// Sign, zeros, body, padded to the width as the conversion asks.
bool PutPadded(Output& out, const Conversion& c, char sign, int zeros, const char* body, int length)
{
    const int signLength = sign != '\0' ? 1 : 0;
    int total = signLength + zeros + length;
    if (c.zero && !c.left && total < c.width)
    {
        zeros += c.width - total;
        total = c.width;
    }
    const int pad = std::max(c.width - total, 0);
    if (!out.Fits(total + pad))
        return false;
    if (!c.left)
        out.Fill(' ', pad);
    if (sign != '\0')
        out.Put(&sign, 1);
    out.Fill('0', zeros);
    out.Put(body, length);
    if (c.left)
        out.Fill(' ', pad);
    return true;
}

unsigned long long ReadUnsigned(va_list& args, char length)
{
    switch (length)
    {
    case 'H':
        return static_cast<unsigned char>(va_arg(args, unsigned int));
    case 'h':
        return static_cast<unsigned short>(va_arg(args, unsigned int));
    case 'l':
        return va_arg(args, unsigned long);
    case 'L':
        return va_arg(args, unsigned long long);
    case 'z':
        return va_arg(args, std::size_t);
    default:
        return va_arg(args, unsigned int);
    }
}

long long ReadSigned(va_list& args, char length)
{
    switch (length)
    {
    case 'H':
        return static_cast<signed char>(va_arg(args, int));
    case 'h':
        return static_cast<short>(va_arg(args, int));
    case 'l':
        return va_arg(args, long);
    case 'L':
        return va_arg(args, long long);
    case 'z':
        return va_arg(args, std::make_signed<std::size_t>::type);
    default:
        return va_arg(args, int);
    }
}

bool PutInteger(Output& out, const Conversion& c, va_list& args)
{
    char sign = '\0';
    unsigned long long magnitude = 0;
    if (c.kind == 'd' || c.kind == 'i')
    {
        const long long value = ReadSigned(args, c.length);
        magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                              : static_cast<unsigned long long>(value);
        sign = value < 0 ? '-' : (c.plus ? '+' : (c.space ? ' ' : '\0'));
    }
    else
        magnitude = ReadUnsigned(args, c.length);
    const int base = c.kind == 'o' ? 8 : (c.kind == 'x' || c.kind == 'X' ? 16 : 10);
    char digits[24];
    int length = 0;
    // A precision of 0 shows the value 0 as no digits at all.
    if (magnitude != 0 || c.precision != 0)
    {
        length = static_cast<int>(
            std::to_chars(digits, digits + sizeof(digits), magnitude, base).ptr - digits);
        if (c.kind == 'X')
            std::transform(digits, digits + length, digits,
                           [](char digit)
                           { return digit >= 'a' ? static_cast<char>(digit - 'a' + 'A') : digit; });
    }
    const int zeros = std::max(c.precision - length, 0);
    // With a precision, the 0 flag does not apply.
    Conversion padding = c;
    padding.zero = c.zero && c.precision < 0;
    return PutPadded(out, padding, sign, zeros, digits, length);
}

// A fixed form with at most three decimals of a value below 2^50, exactly and in 64-bit integers:
// the value times 10^precision is rounded to the nearest integer, an exact half to the even one,
// as the C library rounds.
// Returns the end of the text, or null for what it leaves to the general conversion.
char* PutSmallFixed(char* text, double value, int precision)
{
    static const std::uint64_t kScales[] = {1, 10, 100, 1000};
    const double magnitude = std::fabs(value);
    if (precision > 3 || !(magnitude < 1125899906842624.0))
        return nullptr;
    // magnitude = mantissa / 2^shift exactly, with a mantissa of 53 bits; below 2^50 the shift is
    // at least 3, and from 64 on the value is below 2^-11 and rounds to 0.
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    const std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;
    const std::uint64_t scale = kScales[precision];
    std::uint64_t scaled = 0;
    if (shift < 64)
    {
        const std::uint64_t product = mantissa * scale;
        scaled = product >> shift;
        const std::uint64_t rest = product & ((std::uint64_t(1) << shift) - 1);
        const std::uint64_t half = std::uint64_t(1) << (shift - 1);
        if (rest > half || (rest == half && (scaled & 1) != 0))
            ++scaled;
    }
    char* p = text;
    if (std::signbit(value))
        *p++ = '-';
    p = std::to_chars(p, p + 24, scaled / scale).ptr;
    if (precision == 0)
        return p;
    *p++ = '.';
    std::uint64_t decimals = scaled % scale;
    for (int digit = precision - 1; digit >= 0; --digit, decimals /= 10)
        p[digit] = static_cast<char>('0' + decimals % 10);
    return p + precision;
}

bool PutFloat(Output& out, const Conversion& c, va_list& args)
{
    const double value = va_arg(args, double);
    if (!std::isfinite(value) || !os::IsDecimalPointDot())
        return false;
    const char lower = static_cast<char>(c.kind | 0x20);
    const std::chars_format format = lower == 'f'   ? std::chars_format::fixed
                                     : lower == 'e' ? std::chars_format::scientific
                                                    : std::chars_format::general;
    const int precision = c.precision < 0 ? 6 : c.precision;
    char text[512];
    char* end =
        format == std::chars_format::fixed ? PutSmallFixed(text, value, precision) : nullptr;
    if (end == nullptr)
    {
        const std::to_chars_result rendered =
            std::to_chars(text, text + sizeof(text), value, format, precision);
        if (rendered.ec != std::errc())
            return false;
        end = rendered.ptr;
    }
    const bool negative = text[0] == '-';
    const char sign = negative ? '-' : (c.plus ? '+' : (c.space ? ' ' : '\0'));
    char* const body = text + (negative ? 1 : 0);
    const int length = static_cast<int>(end - body);
    if (c.kind != lower)
        std::replace(body, end, 'e', 'E');
    return PutPadded(out, c, sign, 0, body, length);
}

bool PutText(Output& out, const Conversion& c, va_list& args)
{
    char ch = '\0';
    const char* text = &ch;
    int length = 1;
    if (c.kind == 'c')
        ch = static_cast<char>(va_arg(args, int));
    else
    {
        text = va_arg(args, const char*);
        if (text == nullptr)
            return false;
        const void* end = c.precision >= 0
                              ? std::memchr(text, '\0', static_cast<std::size_t>(c.precision))
                              : nullptr;
        length = c.precision < 0
                     ? static_cast<int>(std::strlen(text))
                     : (end != nullptr ? static_cast<int>(static_cast<const char*>(end) - text)
                                       : c.precision);
    }
    Conversion padding = c;
    padding.zero = false;
    return PutPadded(out, padding, '\0', 0, text, length);
}

bool PutConversion(Output& out, const Conversion& c, va_list& args)
{
    switch (c.kind)
    {
    case 'd':
    case 'i':
        return PutInteger(out, c, args);
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        // C libraries differ on the blank flag of unsigned conversions: Windows shows it.
        return !c.space && PutInteger(out, c, args);
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
        return c.length != 'L' && c.length != 'H' && c.length != 'h' && c.length != 'z' &&
               PutFloat(out, c, args);
    case 'c':
    case 's':
        // Wide characters and texts, and the 0 flag, whose effect on texts is undefined.
        return c.length == '\0' && !c.zero && PutText(out, c, args);
    default:
        return false;
    }
}

int Format(char* buffer, int size, const char* format, va_list& args)
{
    Output out(buffer, size);
    const char* f = format;
    while (*f != '\0')
    {
        const char* percent = std::strchr(f, '%');
        const int literal = static_cast<int>(percent != nullptr ? percent - f : std::strlen(f));
        if (!out.Fits(literal))
            return -1;
        out.Put(f, literal);
        if (percent == nullptr)
            break;
        f = percent + 1;
        if (*f == '%')
        {
            if (!out.Fits(1))
                return -1;
            out.Put(f++, 1);
            continue;
        }
        Conversion c;
        if (!ReadConversion(f, args, c) || !PutConversion(out, c, args))
            return -1;
    }
    *out.Next() = '\0';
    return static_cast<int>(out.Next() - buffer);
}
} // namespace

int FormatMessageByHand(char* buffer, int size, const char* format, va_list args)
{
    if (size < 1)
        return -1;
    // A copy that the readers can take by reference on every platform.
    va_list values;
    va_copy(values, args);
    const int length = Format(buffer, size, format, values);
    va_end(values);
    return length;
}
