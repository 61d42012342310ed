#include "CULFileVersion.h"

#include "CULVersionBlock.h"
#include "OsFileVersion.h"

#include <cstring>

namespace
{
struct VersionString
{
    const char* name;
    CString CULFileVersion::*field;
};

const VersionString kVersionStrings[] = {
    {"CompanyName", &CULFileVersion::m_companyName},
    {"FileDescription", &CULFileVersion::m_fileDescription},
    {"FileVersion", &CULFileVersion::m_fileVersion},
    {"InternalName", &CULFileVersion::m_internalName},
    {"LegalCopyright", &CULFileVersion::m_legalCopyright},
    {"OriginalFilename", &CULFileVersion::m_originalFilename},
    {"ProductName", &CULFileVersion::m_productName},
    {"ProductVersion", &CULFileVersion::m_productVersion},
};

// The size of the buffer the system fills with a language's name.
constexpr DWORD kLanguageNameSize = 259;
} // namespace

int CULFileVersion::Read(const char* path, const char* translationKey)
{
    CULVersionBlock block;
    return block.Read(path) ? Read(block, translationKey) : 0;
}

int CULFileVersion::Read(CULVersionBlock& block, const char* translationKey)
{
    if (translationKey == nullptr || !block.IsRead())
        return 0;
    for (const VersionString& entry : kVersionStrings)
    {
        CString subBlock;
        subBlock.Format("\\StringFileInfo\\%s\\%s", translationKey, entry.name);
        void* value = nullptr;
        unsigned length = 0;
        if (block.Query(subBlock, &value, &length) && length != 0)
        {
            const char* text = static_cast<const char*>(value);
            const void* end = std::memchr(text, '\0', length);
            const std::size_t size = end == nullptr ? length : static_cast<const char*>(end) - text;
            this->*entry.field = CString(text, static_cast<int>(size));
        }
    }
    return 1;
}

bool CULFileVersion::ReadTranslation(const char* path, WORD language, WORD codePage)
{
    CULVersionBlock block;
    return block.Read(path) && ReadTranslation(block, language, codePage);
}

bool CULFileVersion::ReadTranslation(CULVersionBlock& block, WORD language, WORD codePage)
{
    CString key;
    key.Format("%04X%04X", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    if (!Read(block, key))
        return false;
    char name[kLanguageNameSize] = {};
    if (os::VerLanguageNameA(language, name, kLanguageNameSize) != 0)
        m_language = name;
    return true;
}
