#include "XmlEntities.h"

#include <cstdlib>

namespace
{
const char* ReferenceFor(char ch)
{
    switch (ch)
    {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\t':
        return "&#9;";
    case '\n':
        return "&#10;";
    case '\r':
        return "&#13;";
    default:
        return nullptr;
    }
}

// The character a reference names, or -1 when it names none that is decoded.
int ResolveReference(std::string_view name)
{
    static const struct
    {
        std::string_view name;
        char ch;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& named : kNamed)
        if (name == named.name)
            return named.ch;
    if (name.size() < 2 || name.size() > 5 || name[0] != '#')
        return -1;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty())
        return -1;
    char* end = nullptr;
    const long code = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || digits[0] == '-' || digits[0] == '+' || code <= 0 || code >= 128)
        return -1;
    return static_cast<int>(code);
}
} // namespace

void AppendEscapedXmlText(std::string& out, std::string_view text)
{
    for (const char ch : text)
    {
        if (const char* reference = ReferenceFor(ch))
            out += reference;
        else
            out += ch;
    }
}

std::string DecodeXmlText(std::string_view text)
{
    const std::size_t kLongestName = 6;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        // Only as far as the longest name: a text of many "&" and no ";" stays linear.
        const std::size_t length = text[i] == '&' ? text.substr(i + 1, kLongestName + 1).find(';')
                                                  : std::string_view::npos;
        const int ch =
            length != std::string_view::npos ? ResolveReference(text.substr(i + 1, length)) : -1;
        const std::size_t semicolon = i + 1 + length;
        if (ch < 0)
        {
            out += text[i];
            continue;
        }
        out += static_cast<char>(ch);
        i = semicolon;
    }
    return out;
}
