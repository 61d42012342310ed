#include "TextFile.h"

#include "CFile.h"
#include "CLockedTextFile.h"
#include "OsCodePage.h"
#include "Utf8Encoding.h"

#include <climits>
#include <string>

namespace
{
const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LEMark[] = "\xFF\xFE";
const char kUtf16BEMark[] = "\xFE\xFF";

bool ReadWholeFile(const char* path, std::string& bytes)
{
    CFile file;
    if (path == nullptr || !file.OpenInFolder(path, CFile::modeRead | CFile::shareExclusive))
        return false;
    const std::uint64_t length = file.GetLength();
    if (length > INT_MAX)
        return false;
    bytes.resize(static_cast<std::size_t>(length));
    bytes.resize(file.Read(&bytes[0], static_cast<unsigned>(bytes.size())));
    return true;
}

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0;
}

// A trailing odd byte is dropped.
std::u16string DecodeUtf16(const std::string& bytes, std::size_t from, bool bigEndian)
{
    std::u16string text;
    text.reserve((bytes.size() - from) / 2);
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2)
    {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

std::string EncodeUtf16(const CString& text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : os::AnsiToWide(text))
    {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

CString UpToFirstZero(const CString& text)
{
    return CString(text.GetString());
}

CString FromWide(const std::u16string& text)
{
    return UpToFirstZero(os::WideToAnsi(text));
}

int DecodeMarked(const std::string& bytes, CString& text)
{
    if (StartsWith(bytes, kUtf16LEMark))
    {
        text = FromWide(DecodeUtf16(bytes, 2, false));
        return kTextFileUtf16LE;
    }
    if (StartsWith(bytes, kUtf16BEMark))
    {
        text = FromWide(DecodeUtf16(bytes, 2, true));
        return kTextFileUtf16BE;
    }
    if (StartsWith(bytes, kUtf8Mark))
    {
        const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
        text = FromWide(DecodeUtf8(data + 3, bytes.size() - 3));
        return kTextFileUtf8;
    }
    return kTextFileFailed;
}

int DecodeUnmarked(const std::string& bytes, CString& text)
{
    if (bytes.empty())
        return kTextFileFailed;
    if (bytes.size() < 3 || (bytes[0] != '\0' && bytes[1] != '\0'))
    {
        // Through the code page and back, so that bytes it does not hold read as it defines
        // (on Linux a byte of no UTF-8 sequence as the ISO 8859-1 character), as from a marked
        // file.
        text = FromWide(os::AnsiToWide(CString(bytes.c_str())));
        return kTextFileAnsi;
    }
    text = FromWide(DecodeUtf16(bytes, 0, false));
    return kTextFileUtf16LE;
}

std::string EncodeForFile(const CString& text, int encoding)
{
    switch (encoding)
    {
    case kTextFileUtf8:
        return kUtf8Mark + EncodeUtf8(os::AnsiToWide(text)).str();
    case kTextFileUtf16LE:
        return kUtf16LEMark + EncodeUtf16(text, false);
    case kTextFileUtf16BE:
        return kUtf16BEMark + EncodeUtf16(text, true);
    default:
        return text.str();
    }
}
} // namespace

int DecodeTextFile(const std::string& bytes, CString& text)
{
    text.Empty();
    const int marked = DecodeMarked(bytes, text);
    return marked != kTextFileFailed ? marked : DecodeUnmarked(bytes, text);
}

std::string EncodeTextFile(const CString& text, int encoding)
{
    return EncodeForFile(text, encoding);
}

int ReadTextFile(const char* path, CString& text)
{
    text.Empty();
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return kTextFileFailed;
    return DecodeTextFile(bytes, text);
}

int WriteTextFile(const char* path, const CString& text, int encoding)
{
    CLockedTextFile file;
    const CLockedTextFile::HoldResult held = file.Hold(path);
    const bool holds = held == CLockedTextFile::kHeld || held == CLockedTextFile::kCreated;
    return holds && file.Replace(path, EncodeForFile(text, encoding)) ? 1 : 0;
}
