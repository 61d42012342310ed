#include "settings/SettingRules.h"

#include "PathOperations.h"

#include <cstdio>
#include <cstring>

namespace
{
// The first letters of every settings file of the suite and of the temporary file of its save.
const char kSettingsFilePrefix[] = "xdb_";

// Skips a width or precision; null when it asks for more than a cell may hold.
const char* SkipBoundedNumber(const char* p)
{
    int value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if ((value = value * 10 + (*p - '0')) > kMaxByteCellLength)
            return nullptr;
    return p;
}

// Skips flags, width, precision and the length modifiers "hh" and "h" of a conversion; null for
// a width or precision beyond the widest cell.
const char* SkipConversionPrefix(const char* p)
{
    while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr)
        ++p;
    p = SkipBoundedNumber(p);
    if (p != nullptr && *p == '.')
        p = SkipBoundedNumber(p + 1);
    while (p != nullptr && *p == 'h')
        ++p;
    return p;
}

// Exactly one conversion of an int, and nothing that reads more.
bool HasOneIntConversion(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p)
    {
        if (*p != '%')
            continue;
        if (p[1] == '%')
        {
            ++p;
            continue;
        }
        p = SkipConversionPrefix(p + 1);
        if (p == nullptr || *p == '\0' || std::strchr("diouxXc", *p) == nullptr)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

bool IsSeparator(char ch)
{
    return ch == '/' || ch == '\\';
}

// The name's last element, in either separator.
CString LastElement(const CString& name)
{
    int start = name.GetLength();
    while (start > 0 && !IsSeparator(name[start - 1]))
        --start;
    return name.Mid(start);
}
} // namespace

bool ParseSettingNumber(const char* text, unsigned long& value)
{
    CString number(text);
    number.Trim();
    const bool hex = number.Left(2).CompareNoCase("0x") == 0;
    const int first = hex ? 2 : 0;
    if (number.GetLength() == first)
        return false;
    unsigned long long parsed = 0;
    for (int at = first; at < number.GetLength(); ++at)
    {
        const char ch = number[at];
        unsigned digit = 0;
        if (ch >= '0' && ch <= '9')
            digit = static_cast<unsigned>(ch - '0');
        else if (hex && ch >= 'a' && ch <= 'f')
            digit = static_cast<unsigned>(ch - 'a' + 10);
        else if (hex && ch >= 'A' && ch <= 'F')
            digit = static_cast<unsigned>(ch - 'A' + 10);
        else
            return false;
        parsed = parsed * (hex ? 16 : 10) + digit;
        if (parsed > 0xFFFFFFFFULL)
            return false;
    }
    value = static_cast<unsigned long>(parsed);
    return true;
}

bool IsUsableByteFormat(const char* format)
{
    if (format == nullptr || std::strlen(format) > static_cast<std::size_t>(kMaxByteCellLength) ||
        !HasOneIntConversion(format))
        return false;
    for (int byte = 0; byte < 256; ++byte)
    {
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
        const int length = std::snprintf(nullptr, 0, format, byte);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        if (length < 0 || length > kMaxByteCellLength)
            return false;
    }
    return true;
}

bool CheckLogFileName(const char* name, CString& problem)
{
    const CString text(name);
    const CString last = LastElement(text);
    const char* why = nullptr;
    if (last.IsEmpty() || last == "." || last == "..")
        why = "names a folder";
    else if (!IsNameInsideFolder(NormalizePath(text)))
        why = "leaves the log folder";
    else if (last.Left(4).CompareNoCase(kSettingsFilePrefix) == 0)
        why = "could name a settings file: a log file's name does not begin with \"xdb_\"";
    if (why == nullptr)
        return true;
    problem.Format("\"Filename\" \"%s\" %s", name, why);
    return false;
}
