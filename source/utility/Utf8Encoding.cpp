#include "Utf8Encoding.h"

namespace
{
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xFE || lead < 0xC0)
        return 1;
    if (lead >= 0xFC)
        return 6;
    if (lead >= 0xF8)
        return 5;
    if (lead >= 0xF0)
        return 4;
    return lead >= 0xE0 ? 3 : 2;
}

bool HasContinuation(const unsigned char* bytes, std::size_t count)
{
    for (std::size_t i = 1; i < count; ++i)
        if ((bytes[i] & 0xC0) != 0x80)
            return false;
    return true;
}
} // namespace

CString EncodeUtf8(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 2);
    for (const char16_t unit : text)
    {
        if (unit < 0x80)
        {
            bytes += static_cast<char>(unit);
            continue;
        }
        if (unit < 0x800)
            bytes += static_cast<char>(0xC0 + (unit >> 6));
        else
        {
            bytes += static_cast<char>(0xE0 + (unit >> 12));
            bytes += static_cast<char>(0x80 + ((unit >> 6) & 0x3F));
        }
        bytes += static_cast<char>(0x80 + (unit & 0x3F));
    }
    return CString(bytes);
}

std::u16string DecodeUtf8(const unsigned char* bytes, std::size_t count)
{
    std::u16string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count;)
    {
        std::size_t length = SequenceLength(bytes[i]);
        if (length > count - i || !HasContinuation(bytes + i, length))
            length = 1;
        const unsigned char* sequence = bytes + i;
        if (length == 1)
            text += static_cast<char16_t>(sequence[0]);
        else if (length == 2)
            text += static_cast<char16_t>((sequence[0] & 0x1F) << 6 | (sequence[1] & 0x3F));
        else if (length == 3)
            text += static_cast<char16_t>((sequence[0] & 0x0F) << 12 | (sequence[1] & 0x3F) << 6 |
                                          (sequence[2] & 0x3F));
        else
            text += u'\xFFFD';
        i += length;
    }
    return text;
}
