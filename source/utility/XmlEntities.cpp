#include "XmlEntities.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

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

// The character a reference names, when it names one that is decoded.
std::optional<char> ResolveReference(std::string_view name)
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
        return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty())
        return std::nullopt;
    char* end = nullptr;
    const long code = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || digits[0] == '-' || digits[0] == '+' || code <= 0 || code >= 128)
        return std::nullopt;
    return static_cast<char>(code);
}
} // namespace

void AppendEscapedXmlText(std::string& out, std::string_view text)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (const char* reference = ReferenceFor(text[i]))
        {
            out.append(text, from, i - from);
            out += reference;
            from = i + 1;
        }
    out.append(text, from, std::string_view::npos);
}

std::string DecodeXmlText(std::string_view text)
{
    const std::size_t kLongestName = 6;
    std::string out;
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t ampersand = std::min(text.find('&', i), text.size());
        out.append(text, i, ampersand - i);
        if (ampersand == text.size())
            break;
        // Only as far as the longest name: a text of many "&" and no ";" stays linear.
        const std::size_t length = text.substr(ampersand + 1, kLongestName + 1).find(';');
        const std::optional<char> ch = length != std::string_view::npos
                                           ? ResolveReference(text.substr(ampersand + 1, length))
                                           : std::nullopt;
        out += ch.value_or('&');
        i = ch ? ampersand + length + 2 : ampersand + 1;
    }
    return out;
}
