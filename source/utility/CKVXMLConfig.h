// The suite's settings database: one XML file of sections (elements, found anywhere in the
// document; a backslash separates the names of a section path; spaces become "_") holding
// entries (attributes, matched without regard to case). Numbers are written as unsigned decimal.
// Section names, entry names and values are taken in the code page's own form (what a read of
// the file gives back), so that a text that is no well-formed UTF-8 finds what was stored for it.
//
// The file is held exclusively from Open to Close, so that programs sharing it take turns and
// none undoes another's change; a save replaces the file in one step (CLockedTextFile). Only a
// file that another program holds is waited for, and a few seconds at most. A file that cannot
// be used is not read again until its directory entry changes. No lock of its own: callers
// serialise.
#pragma once

#include "CULXMLData.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class CLockedTextFile;

class CKVXMLConfig
{
public:
    CKVXMLConfig();
    CKVXMLConfig(const CKVXMLConfig&) = delete;
    CKVXMLConfig& operator=(const CKVXMLConfig&) = delete;
    virtual ~CKVXMLConfig();

    // Loads the file, or creates a document with the root "Korvel" (modified, so that the next
    // save writes it) when there is none. 0 when a document is open already, when another
    // program holds the file for the whole wait (or giveUp, when given, ends the wait), or when
    // the file cannot be used: not readable, larger than 16 MiB, or not a well-formed document.
    // Such a file is not read again until its directory entry changes.
    int Open(const char* path, bool (*giveUp)() = nullptr);
    // Drops the document and lets the file go; path and modified flag stay.
    void Close();
    // Writes the UTF-8 byte-order mark and the document beside the file of the last open and
    // puts it in the file's place, which stays held. 0, the file left as it was, when that would
    // make it larger than 16 MiB or when it cannot be written; WasTakenMeanwhile then tells
    // whether another program created the file since this one found none (the caller starts
    // again from Open).
    int Save();
    int IsOpen() const { return m_document.HasRoot(); }
    // Why the last Open or Save failed, in words.
    const CString& GetLastError() const { return m_lastError; }
    // True once for each failure that differs from the one before it: an unusable file once
    // per state of its directory entry, a file held too long or a failed save once until an
    // open or a save succeeds again.
    bool TakeNewFailure();
    bool WasTakenMeanwhile() const { return m_takenMeanwhile; }
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

    // A program that holds the file longer than this makes the operation fail.
    static const unsigned long kWaitMilliseconds = 3000;
    // Every operation reads, parses and writes the whole file: a larger one is neither read nor
    // written.
    static constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

private:
    int Load(const CString& path);
    int ReadHeldFile(const CString& path);
    int Refuse(const std::string& stamp, const CString& reason,
               std::optional<std::size_t> text = std::nullopt);
    void NoteFailure(const CString& text, bool isNew);
    // The section's element when it exists; never creates.
    CULXMLData::CNode* FindSection(const char* section) const;
    // The section's element, created when needed; null without a document.
    CULXMLData::CNode* PrepareSection(const char* section);

    std::unique_ptr<CLockedTextFile> m_file; // held from Open to Close
    CULXMLData m_document;
    CString m_path;
    CString m_lastError;
    int m_modified = 0;
    bool m_takenMeanwhile = false;
    bool (*m_giveUp)() = nullptr;
    // The last file refused as unusable, to leave it alone until it changes.
    struct Refusal
    {
        std::string stamp; // its directory entry
        CString reason;
        std::optional<std::size_t> text; // a hash of its text; none when no text was read
    };
    std::optional<Refusal> m_refusal; // none since a file was read or created
    bool m_openWasBusy = false;
    CString m_saveFailure; // since the last save that succeeded
    bool m_failureIsNew = false;
};
