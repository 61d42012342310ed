#include "XmlNames.h"

#include <cctype>
#include <cstring>

namespace
{
const char kEscapedMarkup[] = "\"&'<>/\\=!?";
const std::size_t kCodeLength = 5; // "x" and four hexadecimal digits

bool IsKept(unsigned char ch)
{
    return ch > ' ' && ch != 0x7F && ch != '_' && std::strchr(kEscapedMarkup, ch) == nullptr;
}

// Whether the name goes on, at the offset, as the code of an escaped character does.
bool ReadsAsCode(std::string_view name, std::size_t at)
{
    if (name.size() < at + kCodeLength || (name[at] != 'x' && name[at] != 'X'))
        return false;
    for (std::size_t i = at + 1; i < at + kCodeLength; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

int HexValue(char ch)
{
    return std::isdigit(static_cast<unsigned char>(ch))
               ? ch - '0'
               : std::tolower(static_cast<unsigned char>(ch)) - 'a' + 10;
}

// The character an escape at the offset stands for, or -1 when there is none.
int EscapedAt(std::string_view text, std::size_t at)
{
    if (text[at] != '_' || !ReadsAsCode(text, at + 1) || text.size() <= at + 1 + kCodeLength ||
        text[at + 1 + kCodeLength] != '_')
        return -1;
    int code = 0;
    for (std::size_t i = at + 2; i < at + 1 + kCodeLength; ++i)
        code = code * 16 + HexValue(text[i]);
    return code < 0x100 ? code : -1;
}

void AppendEscaped(std::string& out, unsigned char ch)
{
    static const char kHex[] = "0123456789ABCDEF";
    out += "_x00";
    out += kHex[ch >> 4];
    out += kHex[ch & 0x0F];
    out += '_';
}
} // namespace

std::string EncodeXmlName(std::string_view name)
{
    if (name.empty())
        return "_x0000_";
    std::string out;
    for (std::size_t at = 0; at < name.size(); ++at)
    {
        const unsigned char ch = static_cast<unsigned char>(name[at]);
        if (ch == ' ' && at > 0 && !ReadsAsCode(name, at + 1))
            out += '_';
        else if (IsKept(ch))
            out += static_cast<char>(ch);
        else
            AppendEscaped(out, ch);
    }
    return out;
}

std::string DecodeXmlName(std::string_view text)
{
    if (text == "_x0000_")
        return std::string();
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at)
    {
        const int escaped = EscapedAt(text, at);
        if (escaped >= 0)
        {
            out += static_cast<char>(escaped);
            at += 1 + kCodeLength;
        }
        else
            out += text[at] == '_' ? ' ' : text[at];
    }
    return out;
}
