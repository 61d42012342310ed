#include "OsCodePage.h"

namespace os
{
std::u16string AnsiToWide(const char* text, int length)
{
    std::u16string wide;
    if (text == nullptr || length <= 0)
        return wide;
    wide.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        wide += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    return wide;
}

CString WideToAnsi(const std::u16string& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (const char16_t unit : text)
        narrow += unit <= 0xFF ? static_cast<char>(unit) : '?';
    return CString(narrow);
}

CString GetTextCharsetName()
{
    return "UTF-8";
}
} // namespace os
