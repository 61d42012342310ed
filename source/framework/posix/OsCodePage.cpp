#include "OsCodePage.h"

#include "Utf8Encoding.h"

namespace os
{
std::u16string AnsiToWide(const char* text, int length)
{
    if (text == nullptr || length <= 0)
        return std::u16string();
    return DecodeUtf8(reinterpret_cast<const unsigned char*>(text),
                      static_cast<std::size_t>(length));
}

CString WideToAnsi(const std::u16string& text)
{
    return EncodeUtf8(text);
}

CString Utf8ToAnsi(std::string bytes)
{
    return CString(RepairUtf8(std::move(bytes)));
}

std::string AnsiToUtf8(std::string text)
{
    return RepairUtf8(std::move(text));
}

CString CanonicalAnsi(std::string text)
{
    return CString(RepairUtf8(std::move(text)));
}

const char* AnsiAsUtf8(const char* text, std::size_t& length, Utf8Conversion& storage)
{
    static_cast<void>(length);
    static_cast<void>(storage);
    return text;
}

CString GetTextCharsetName()
{
    return "UTF-8";
}
} // namespace os
