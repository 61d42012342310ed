// The version strings of a file: one record per translation its version resource declares, plus
// a default record from the preferred language. The default record starts from the first
// translation and takes every string that a translation of the preferred language defines, so a
// string missing there keeps the earlier value. Loading does not empty the object first: Clear
// before reusing it for another file.
#pragma once

#include "../framework/FrameworkTypes.h"
#include "CULFileVersion.h"
#include "CULFileVersionList.h"

class CULFileVersionInfo
{
public:
    // A language of 0 prefers the user's default language. The code page is kept for callers.
    explicit CULFileVersionInfo(WORD language = 0, WORD codePage = 0);
    CULFileVersionInfo(const CULFileVersionInfo&) = delete;
    CULFileVersionInfo& operator=(const CULFileVersionInfo&) = delete;
    virtual ~CULFileVersionInfo();

    // Appends the file's translations; 1 when the object holds any afterwards, else 0. A file
    // without version resource changes nothing.
    int Load(const char* path);
    int IsLoaded() const { return m_translations.IsEmpty() ? 0 : 1; }
    // Deletes the records and empties the default record's language; its other strings stay.
    void Clear();

    CULFileVersionList m_translations;
    CULFileVersion m_defaultVersion;
    WORD m_codePage;
    WORD m_preferredLanguage;
};
