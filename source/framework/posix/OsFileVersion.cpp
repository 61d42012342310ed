#include "OsFileVersion.h"

#include "PeVersionResource.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// The block handed out is the raw version tree (R bytes, R = the root's length) followed by 2 R
// bytes of room for the 8-bit copies of its text values: the value at offset o of the tree is
// converted to the room's offset 2 o. A UTF-16 value of n units takes at most 3 n + 1 bytes as
// UTF-8 and the values do not overlap, so every copy fits in its own slot.
namespace os
{
namespace
{
constexpr std::size_t kRoomFactor = 2;

struct Language
{
    WORD id;
    const char* locale;
    const char* name;
};

// The languages the suite's files are made in; unknown identifiers have no name.
const Language kLanguages[] = {
    {0x0409, "en_US", "English (United States)"},
    {0x0809, "en_GB", "English (United Kingdom)"},
    {0x0407, "de_DE", "German (Germany)"},
    {0x0C07, "de_AT", "German (Austria)"},
    {0x0807, "de_CH", "German (Switzerland)"},
    {0x040C, "fr_FR", "French (France)"},
    {0x0410, "it_IT", "Italian (Italy)"},
    {0x0C0A, "es_ES", "Spanish (Spain)"},
    {0x0413, "nl_NL", "Dutch (Netherlands)"},
    {0x0416, "pt_BR", "Portuguese (Brazil)"},
    {0x0816, "pt_PT", "Portuguese (Portugal)"},
    {0x0415, "pl_PL", "Polish (Poland)"},
    {0x0405, "cs_CZ", "Czech (Czech Republic)"},
    {0x041D, "sv_SE", "Swedish (Sweden)"},
    {0x0406, "da_DK", "Danish (Denmark)"},
    {0x040B, "fi_FI", "Finnish (Finland)"},
    {0x0419, "ru_RU", "Russian (Russia)"},
    {0x041F, "tr_TR", "Turkish (Turkey)"},
    {0x0411, "ja_JP", "Japanese (Japan)"},
    {0x0412, "ko_KR", "Korean (Korea)"},
    {0x0804, "zh_CN", "Chinese (Simplified, PRC)"},
    {0x0404, "zh_TW", "Chinese (Traditional, Taiwan)"},
    {0x0000, "", "Language Neutral"},
};

constexpr WORD kFallbackLanguage = 0x0409;

std::size_t RootLength(const void* block)
{
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    return static_cast<std::size_t>(bytes[0] | (bytes[1] << 8));
}

void AppendUtf8(std::uint32_t code, std::string& text)
{
    if (code < 0x80)
    {
        text += static_cast<char>(code);
        return;
    }
    if (code < 0x800)
    {
        text += static_cast<char>(0xC0 | (code >> 6));
    }
    else if (code < 0x10000)
    {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    else
    {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (code & 0x3F));
}

// UTF-16 up to the first zero unit; a lone surrogate becomes '?'.
std::string Utf16ToUtf8(const std::uint8_t* units, std::size_t count)
{
    std::string text;
    for (std::size_t index = 0; index < count; ++index)
    {
        std::uint32_t code = units[index * 2] | (units[index * 2 + 1] << 8);
        if (code == 0)
            break;
        if (code >= 0xD800 && code <= 0xDBFF && index + 1 < count)
        {
            const std::uint32_t low = units[index * 2 + 2] | (units[index * 2 + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++index;
            }
        }
        if (code >= 0xD800 && code <= 0xDFFF)
            code = '?';
        AppendUtf8(code, text);
    }
    return text;
}

const Language* FindLanguage(DWORD id)
{
    for (const Language& language : kLanguages)
        if (language.id == id)
            return &language;
    return nullptr;
}

// "de_DE.UTF-8" or "de" to an identifier: the exact region first, then the language alone.
WORD LanguageOfLocale(const std::string& locale)
{
    const std::string tag = locale.substr(0, locale.find_first_of(".@"));
    const std::string prefix = tag.substr(0, tag.find('_')) + "_";
    for (const Language& language : kLanguages)
        if (tag == language.locale)
            return language.id;
    for (const Language& language : kLanguages)
        if (std::strncmp(language.locale, prefix.c_str(), prefix.size()) == 0)
            return language.id;
    return kFallbackLanguage;
}
} // namespace

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle)
{
    if (handle != nullptr)
        *handle = 0;
    std::vector<std::uint8_t> resource;
    if (!pe::ReadVersionResource(path, resource))
        return 0;
    return static_cast<DWORD>(resource.size() * (1 + kRoomFactor));
}

bool GetFileVersionInfoA(const char* path, DWORD, DWORD size, void* data)
{
    std::vector<std::uint8_t> resource;
    if (data == nullptr || !pe::ReadVersionResource(path, resource) ||
        size < resource.size() * (1 + kRoomFactor))
        return false;
    std::memcpy(data, resource.data(), resource.size());
    std::memset(static_cast<std::uint8_t*>(data) + resource.size(), 0,
                resource.size() * kRoomFactor);
    return true;
}

bool VerQueryValueA(void* block, const char* subBlock, void** value, unsigned* length)
{
    if (block == nullptr || value == nullptr || length == nullptr)
        return false;
    *value = nullptr;
    *length = 0;
    auto* bytes = static_cast<std::uint8_t*>(block);
    const std::size_t size = RootLength(block);
    pe::VersionValue found = {0, 0, false};
    if (!pe::FindVersionValue(bytes, size, subBlock, found))
        return false;
    if (!found.isText)
    {
        *value = bytes + found.offset;
        *length = static_cast<unsigned>(found.size);
        return true;
    }
    static char emptyText[] = "";
    const std::size_t units = found.size / 2;
    if (units == 0)
    {
        *value = emptyText;
        return true;
    }
    char* copy = reinterpret_cast<char*>(bytes + size + found.offset * kRoomFactor);
    const std::string text = Utf16ToUtf8(bytes + found.offset, units);
    std::memcpy(copy, text.c_str(), text.size() + 1);
    *value = copy;
    *length = static_cast<unsigned>(text.size() + 1);
    return true;
}

DWORD VerLanguageNameA(DWORD language, char* buffer, DWORD size)
{
    const Language* known = FindLanguage(language);
    if (known == nullptr || buffer == nullptr || size == 0)
        return 0;
    const std::size_t length = std::min<std::size_t>(std::strlen(known->name), size - 1);
    std::memcpy(buffer, known->name, length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

WORD GetUserDefaultLangID()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return LanguageOfLocale(value);
    }
    return kFallbackLanguage;
}
} // namespace os
