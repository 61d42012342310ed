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

const char* AnsiAsUtf8(const char* text, std::size_t& length, Utf8Conversion& storage)
{
    static const bool utf8 = ::GetACP() == CP_UTF8;
    if (utf8 || length == 0)
        return text;
    const int bytes = static_cast<int>(length);
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text, bytes, nullptr, 0);
    // resize keeps the storage that a longer text left.
    storage.wide.resize(static_cast<std::size_t>(units > 0 ? units : 0));
    wchar_t* wide = reinterpret_cast<wchar_t*>(&storage.wide[0]);
    ::MultiByteToWideChar(CP_ACP, 0, text, bytes, wide, units);
    const int converted =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, units, nullptr, 0, nullptr, nullptr);
    storage.utf8.resize(static_cast<std::size_t>(converted > 0 ? converted : 0));
    ::WideCharToMultiByte(CP_UTF8, 0, wide, units, &storage.utf8[0], converted, nullptr, nullptr);
    length = storage.utf8.size();
    return storage.utf8.data();
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
