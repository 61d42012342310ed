#include "CULFileVersionInfo.h"

#include "CULVersionBlock.h"
#include "OsFileVersion.h"

#include <cstring>

CULFileVersionInfo::CULFileVersionInfo(WORD language, WORD codePage)
    : m_codePage(codePage),
      m_preferredLanguage(language != 0 ? language : os::GetUserDefaultLangID())
{
}

CULFileVersionInfo::~CULFileVersionInfo()
{
    if (IsLoaded())
        Clear();
}

// The file is read once; every translation is looked up in that one block.
int CULFileVersionInfo::Load(const char* path)
{
    CULVersionBlock block;
    if (!block.Read(path))
        return IsLoaded();
    void* value = nullptr;
    unsigned length = 0;
    block.Query("\\VarFileInfo\\Translation", &value, &length);
    bool first = true;
    for (unsigned at = 0; at + 4 <= length; at += 4)
    {
        WORD pair[2];
        std::memcpy(pair, static_cast<const char*>(value) + at, sizeof(pair));
        auto* record = new CULFileVersion;
        if (record->ReadTranslation(block, pair[0], pair[1]))
            m_translations.AddTail(record);
        else
            delete record;
        if ((pair[0] == m_preferredLanguage || first) &&
            m_defaultVersion.ReadTranslation(block, pair[0], pair[1]))
            first = false;
    }
    return IsLoaded();
}

void CULFileVersionInfo::Clear()
{
    m_translations.Clear();
    m_defaultVersion.m_language.Empty();
}
