#include "Utf8Encoding.h"

namespace
{
const char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& bytes, char32_t code)
{
    if (code < 0x80)
    {
        bytes += static_cast<char>(code);
        return;
    }
    int continuations = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    static const unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    bytes += static_cast<char>(kLead[continuations] | (code >> (6 * continuations)));
    while (continuations-- > 0)
        bytes += static_cast<char>(0x80 | ((code >> (6 * continuations)) & 0x3F));
}
} // namespace

std::size_t ReadUtf8Sequence(const unsigned char* bytes, std::size_t count, char32_t& code)
{
    const unsigned char lead = bytes[0];
    std::size_t length = 2;
    // The bounds of the second byte exclude overlong forms, surrogates and codes past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    else if (lead < 0xC2 || lead > 0xDF)
        return 0;
    if (length > count || bytes[1] < low || bytes[1] > high)
        return 0;
    code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (bytes[i] & 0x3F);
    }
    return length;
}

namespace
{
// The length of the well-formed sequence at bytes[at], 1 for an ASCII byte, and its code; 0 when
// none starts there.
std::size_t SequenceAt(const unsigned char* bytes, std::size_t count, std::size_t at,
                       char32_t& code)
{
    code = bytes[at];
    return code < 0x80 ? 1 : ReadUtf8Sequence(bytes + at, count - at, code);
}
} // namespace

CString EncodeUtf8(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        char32_t code = text[i];
        if (IsHighSurrogate(code) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (IsHighSurrogate(code) || IsLowSurrogate(code))
            code = kReplacement;
        AppendUtf8(bytes, code);
    }
    return CString(bytes);
}

std::u16string DecodeUtf8(const unsigned char* bytes, std::size_t count)
{
    std::u16string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count;)
    {
        char32_t code = 0;
        std::size_t length = SequenceAt(bytes, count, i, code);
        if (length == 0)
        {
            code = bytes[i];
            length = 1;
        }
        if (code >= 0x10000)
        {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        }
        else
            text += static_cast<char16_t>(code);
        i += length;
    }
    return text;
}

std::string RepairUtf8(std::string bytes)
{
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t count = bytes.size();
    std::string repaired;
    // The bytes before kept are in repaired; none are while every sequence is well-formed.
    std::size_t kept = 0;
    char32_t code = 0;
    for (std::size_t i = 0; i != count;)
    {
        const std::size_t length = SequenceAt(data, count, i, code);
        if (length != 0)
        {
            i += length;
            continue;
        }
        repaired.append(bytes, kept, i - kept);
        AppendUtf8(repaired, data[i]);
        kept = ++i;
    }
    if (kept == 0)
        return bytes;
    return repaired.append(bytes, kept, std::string::npos);
}
