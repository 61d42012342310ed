#include "CULXMLEntryList.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <limits>

namespace
{
const char* SkipSpaces(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

// Consumes an optional sign; true for "-".
bool TakeSign(const char*& text)
{
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    return negative;
}

int DigitValue(char ch)
{
    const unsigned char c = static_cast<unsigned char>(ch);
    if (std::isdigit(c))
        return c - '0';
    if (std::isxdigit(c))
        return std::tolower(c) - 'a' + 10;
    return 99;
}

// Reads digits of the base up to the first other character; true when the value went past the
// limit, in which case the value is the limit.
bool ReadDigits(const char* text, unsigned base, std::uint64_t limit, std::uint64_t& value)
{
    value = 0;
    for (int digit; (digit = DigitValue(*text)) < static_cast<int>(base); ++text)
    {
        if (value > (limit - static_cast<unsigned>(digit)) / base)
        {
            value = limit;
            return true;
        }
        value = value * base + static_cast<unsigned>(digit);
    }
    return false;
}

// As atoi: whitespace, sign, decimal digits; an overflow gives the nearest limit.
std::int64_t DecimalToInt64(const char* text)
{
    text = SkipSpaces(text);
    const bool negative = TakeSign(text);
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    ReadDigits(text, 10, limit, magnitude);
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    return magnitude == limit ? std::numeric_limits<std::int64_t>::min()
                              : -static_cast<std::int64_t>(magnitude);
}

int DecimalToInt(const char* text)
{
    const std::int64_t value = DecimalToInt64(text);
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// As a 32-bit strtoul: a value past 32 bits gives 4294967295, "-" negates modulo 2^32.
unsigned long TextToULong(const char* text, unsigned base)
{
    text = SkipSpaces(text);
    const bool negative = TakeSign(text);
    if (base == 16 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text += 2;
    std::uint64_t value = 0;
    if (ReadDigits(text, base, 0xFFFFFFFFu, value))
        return 0xFFFFFFFFul;
    return negative ? static_cast<unsigned long>((0x100000000ull - value) & 0xFFFFFFFFu)
                    : static_cast<unsigned long>(value);
}

int HexNibble(char ch)
{
    return ch < 'A' ? ch - '0' : ch - 'A' + 10;
}
} // namespace

CULXMLEntryList CULXMLEntryList::Of(const CULXMLData::CNode* node)
{
    return CULXMLEntryList(node != nullptr ? &node->m_attributes : nullptr);
}

CULXMLEntryList CULXMLEntryList::Of(const CULXMLData::CSection* section)
{
    return CULXMLEntryList(section != nullptr ? &section->m_entries : nullptr);
}

bool CULXMLEntryList::Add(const char* name, const char* value)
{
    if (m_entries == nullptr)
        return false;
    m_entries->AddTail(new CEntry{name, value});
    return true;
}

bool CULXMLEntryList::Set(const char* name, const char* value)
{
    CEntry* entry = Find(name);
    if (entry == nullptr)
        return Add(name, value);
    entry->m_value = value;
    return true;
}

CULXMLData::CEntry* CULXMLEntryList::Find(const char* name) const
{
    for (POSITION position = GetFirstPosition(); position != nullptr;)
    {
        CEntry* entry = m_entries->GetNext(position);
        if (entry->m_name.CompareNoCase(name) == 0)
            return entry;
    }
    return nullptr;
}

CString CULXMLEntryList::Get(const char* name, const char* defaultValue) const
{
    const CEntry* entry = Find(name);
    return entry != nullptr ? entry->m_value : CString(defaultValue);
}

void CULXMLEntryList::Remove(const char* name)
{
    Remove(Find(name));
}

void CULXMLEntryList::Remove(CEntry* entry)
{
    if (m_entries != nullptr && entry != nullptr && m_entries->Detach(entry))
        delete entry;
}

POSITION CULXMLEntryList::GetFirstPosition() const
{
    return m_entries != nullptr ? m_entries->GetHeadPosition() : nullptr;
}

CULXMLData::CEntry* CULXMLEntryList::GetNext(POSITION& position) const
{
    return m_entries != nullptr && position != nullptr ? m_entries->GetNext(position) : nullptr;
}

int CULXMLEntryList::GetInt(const char* name, int defaultValue) const
{
    CString fallback;
    fallback.Format("%d", defaultValue);
    return DecimalToInt(Get(name, fallback));
}

bool CULXMLEntryList::SetInt(const char* name, int value)
{
    return SetFormatted(name, "%d", value);
}

unsigned long CULXMLEntryList::GetULong(const char* name, unsigned long defaultValue,
                                        bool allowHex) const
{
    CString fallback;
    fallback.Format("%lu", defaultValue);
    const CString text = Get(name, fallback);
    return TextToULong(text, allowHex && text.Find("0x") >= 0 ? 16 : 10);
}

bool CULXMLEntryList::SetULong(const char* name, unsigned long value)
{
    return SetFormatted(name, "%lu", value);
}

std::int64_t CULXMLEntryList::GetInt64(const char* name, std::int64_t defaultValue) const
{
    CString fallback;
    fallback.Format("%" PRId64, defaultValue);
    return DecimalToInt64(Get(name, fallback));
}

bool CULXMLEntryList::SetInt64(const char* name, std::int64_t value)
{
    return SetFormatted(name, "%" PRId64, value);
}

double CULXMLEntryList::GetDouble(const char* name, double defaultValue) const
{
    const CEntry* entry = Find(name);
    double value = 0;
    if (entry == nullptr || entry->m_value.IsEmpty() ||
        std::sscanf(entry->m_value, "%lf", &value) != 1)
        return defaultValue;
    return value;
}

bool CULXMLEntryList::SetDouble(const char* name, double value)
{
    return SetFormatted(name, "%g", value);
}

bool CULXMLEntryList::GetBinary(const char* name, void* buffer, int count) const
{
    const CEntry* entry = Find(name);
    if (entry == nullptr || buffer == nullptr || count < 0 ||
        entry->m_value.GetLength() != 2 * count)
        return false;
    CString text = entry->m_value;
    text.MakeUpper();
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < count; ++i)
    {
        const int last = text.GetLength() - 2 * i - 1;
        bytes[i] =
            static_cast<unsigned char>(HexNibble(text[last - 1]) * 16 + HexNibble(text[last]));
    }
    return true;
}

bool CULXMLEntryList::SetBinary(const char* name, const void* buffer, int count)
{
    if (buffer == nullptr || count < 0)
        return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
    CString text;
    for (int i = count - 1; i >= 0; --i)
        text.AppendFormat("%02X", static_cast<unsigned>(bytes[i]));
    return Set(name, text);
}

DWORD CULXMLEntryList::GetHexDWord(const char* name, DWORD defaultValue) const
{
    unsigned char bytes[4];
    if (!GetBinary(name, bytes, 4))
        return defaultValue;
    return static_cast<DWORD>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                              static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool CULXMLEntryList::SetHexDWord(const char* name, DWORD value)
{
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return SetBinary(name, bytes, 4);
}

CULXMLData::Bytes16 CULXMLEntryList::GetBinary16(const char* name,
                                                 const CULXMLData::Bytes16* defaultValue) const
{
    CULXMLData::Bytes16 value{};
    if (defaultValue != nullptr)
        value = *defaultValue;
    GetBinary(name, value.data(), static_cast<int>(value.size()));
    return value;
}

bool CULXMLEntryList::SetBinary16(const char* name, const CULXMLData::Bytes16& value)
{
    return SetBinary(name, value.data(), static_cast<int>(value.size()));
}

bool CULXMLEntryList::SetFormattedV(const char* name, const char* format, va_list args)
{
    if (m_entries == nullptr)
        return false;
    if (format == nullptr)
    {
        Remove(name);
        return true;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    CString value(format);
    if (length >= 0)
        value.FormatV(format, args);
    return Set(name, value);
}

bool CULXMLEntryList::SetFormatted(const char* name, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool result = SetFormattedV(name, format, args);
    va_end(args);
    return result;
}
