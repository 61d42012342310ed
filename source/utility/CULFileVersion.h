// The version strings of one translation of a file's version resource. A plain record: callers
// read the fields directly.
#pragma once

#include "../framework/CString.h"
#include "../framework/FrameworkTypes.h"

class CULVersionBlock;

class CULFileVersion
{
public:
    // Fills the fields that the translation defines (key: language and code page as "%04X%04X",
    // e.g. "040904B0"); the others keep their values. 1 when read, 0 when the file has no
    // readable version resource.
    int Read(const char* path, const char* translationKey);
    // The same from a block already read, so that many translations cost one read of the file.
    int Read(CULVersionBlock& block, const char* translationKey);
    // Read, then the language's name when the system knows one.
    bool ReadTranslation(const char* path, WORD language, WORD codePage);
    bool ReadTranslation(CULVersionBlock& block, WORD language, WORD codePage);

    CString m_companyName;
    CString m_fileDescription;
    CString m_fileVersion;
    CString m_internalName;
    CString m_legalCopyright;
    CString m_originalFilename;
    CString m_productName;
    CString m_productVersion;
    // The name of the translation's language.
    CString m_language;
};
