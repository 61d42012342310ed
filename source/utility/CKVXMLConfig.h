// The suite's settings database: one XML file of sections (elements, found anywhere in the
// document; a backslash separates the names of a section path; spaces become "_") holding
// entries (attributes, matched without regard to case). Numbers are written as unsigned decimal.
// The file is held exclusively from Open to Close, so that programs sharing it take turns and
// none undoes another's change; a save replaces the file in one step. Taking the file is tried
// every 10 ms for about two seconds. No lock of its own: callers serialise.
#pragma once

#include "CULXMLData.h"

#include <cstddef>
#include <memory>

class CLockedTextFile;

class CKVXMLConfig
{
public:
    CKVXMLConfig();
    CKVXMLConfig(const CKVXMLConfig&) = delete;
    CKVXMLConfig& operator=(const CKVXMLConfig&) = delete;
    virtual ~CKVXMLConfig();

    // Loads the file, or creates a document with the root "Korvel" (modified, so that the next
    // save writes it) when there is none. 0 when a document is open already, when the file
    // cannot be read in five attempts, when it is larger than 16 MiB, or when it is not a
    // well-formed document.
    int Open(const char* path);
    // Drops the document and lets the file go; path and modified flag stay.
    void Close();
    // Writes the UTF-8 byte-order mark and the document beside the file of the last open and
    // renames it over that file, which stays held. 0, the file left as it was, when that would
    // make it larger than 16 MiB.
    int Save();
    int IsOpen() const { return m_document.HasRoot(); }
    // Why the last Open failed: the reader's message, or that the file could not be read.
    const CString& GetLastError() const { return m_lastError; }
    int IsModified() const { return m_modified; }

    // The section's element, created with any missing elements of its path.
    CULXMLData::CNode* GetSection(const char* section);

    CString GetString(const char* section, const char* key, const char* defaultValue) const;
    // "0x" anywhere in the text means base 16; beyond 32 bits reads as 4294967295.
    unsigned long GetDWord(const char* section, const char* key, unsigned long defaultValue) const;
    int SetString(const char* section, const char* key, const char* value);
    int SetDWord(const char* section, const char* key, unsigned long value);
    // Adds the entry with the default unless it exists; 1 either way, 0 without a document.
    int AddDWord(const char* section, const char* key, unsigned long defaultValue);
    bool HasEntry(const char* section, const char* key) const;
    // Creates the section "to" with copies of the entries of "from", when "to" does not exist and
    // "from" does; 1 when it did.
    int CopySection(const char* from, const char* to);

    const CULXMLData& GetDocument() const { return m_document; }
    const CString& GetPath() const { return m_path; }

private:
    // About two seconds in short steps: a program that holds the file only for moments is
    // waited for, one that holds it longer makes the operation fail.
    static const int kAttempts = 200;
    static const unsigned kRetryDelayMilliseconds = 10;
    // Every operation reads, parses and writes the whole file: a larger one is neither read nor
    // written.
    static constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

    int Load(const CString& path);
    // The section's element when it exists; never creates.
    CULXMLData::CNode* FindSection(const char* section) const;
    // The section's element, created when needed; null without a document.
    CULXMLData::CNode* PrepareSection(const char* section);

    std::unique_ptr<CLockedTextFile> m_file; // held from Open to Close
    CULXMLData m_document;
    CString m_path;
    CString m_lastError;
    int m_modified = 0;
};
