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

CString Utf8ToAnsi(const char* bytes, std::size_t count)
{
    return CString(RepairUtf8(bytes, count));
}

std::string AnsiToUtf8(const CString& text)
{
    return RepairUtf8(text.GetString(), text.str().size());
}

CString CanonicalAnsi(const CString& text)
{
    return CString(RepairUtf8(text.GetString(), text.str().size()));
}

CString GetTextCharsetName()
{
    return "UTF-8";
}
} // namespace os
