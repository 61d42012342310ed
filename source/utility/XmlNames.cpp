#include "XmlNames.h"

#include <cctype>
#include <cstring>

namespace
{
const char kEscapedMarkup[] = "\"&'<>/\\=!?";
const std::size_t kCodeLength = 5; // "x" and four hexadecimal digits

bool IsKept(unsigned char ch)
{
    if (ch >= 0x80)
        return true;
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
    out.reserve(name.size());
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
