#include "WindowsInclude.h"

#include "OsCodePage.h"
#include "Utf8Encoding.h"

namespace os
{
std::u16string AnsiToWide(const char* text, int length)
{
    if (text == nullptr || length <= 0)
        return std::u16string();
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (units <= 0)
        return std::u16string();
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, length, reinterpret_cast<wchar_t*>(&wide[0]), units);
    return wide;
}

CString WideToAnsi(const std::u16string& text)
{
    if (text.empty())
        return CString();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    CString narrow;
    char* buffer = narrow.GetBufferSetLength(bytes);
    ::WideCharToMultiByte(CP_ACP, 0, wide, units, buffer, bytes, nullptr, nullptr);
    return narrow;
}

CString Utf8ToAnsi(std::string bytes)
{
    return WideToAnsi(
        DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
}

std::string AnsiToUtf8(std::string text)
{
    return EncodeUtf8(AnsiToWide(text.data(), static_cast<int>(text.size()))).str();
}

CString CanonicalAnsi(std::string text)
{
    return WideToAnsi(AnsiToWide(text.data(), static_cast<int>(text.size())));
}

CString GetTextCharsetName()
{
    const unsigned codePage = ::GetACP();
    struct Named
    {
        unsigned codePage;
        const char* name;
    };
    static const Named kNames[] = {{932, "Shift_JIS"},    {936, "GBK"},        {949, "EUC-KR"},
                                   {950, "Big5"},         {20127, "US-ASCII"}, {20866, "KOI8-R"},
                                   {28591, "ISO-8859-1"}, {54936, "GB18030"},  {65001, "UTF-8"}};
    for (const Named& named : kNames)
        if (named.codePage == codePage)
            return named.name;
    CString name;
    name.Format("windows-%u", codePage);
    return name;
}
} // namespace os
