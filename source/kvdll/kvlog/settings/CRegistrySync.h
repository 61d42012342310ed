// The controller's access to its settings file: the settings database behind a lock of its own,
// with reads that write a missing entry's default back, so that the file comes to list every key.
//
// Every use follows one pattern: Open (which reads the whole file afresh), reads and writes in
// memory, Save (only when something changed), Close. The lock covers each call, not a whole
// sequence: callers keep their sequences apart with their own lock.
//
// Names that programs give (components, level descriptions, their own keys) pass through
// StorableName: the file's reader drops blanks from a tag and stops a name at "=", quotes or ">",
// so a name such as "Motor Trace" would not be found again after a save, be written anew at every
// sync, and every such save would trigger another reload. The escaping is reversible, so that two
// such names never share a section or an entry. The accessors below take stored names.
#pragma once

#include "CKVXMLConfig.h"
#include "CMutex.h"
#include "CString.h"

class CRegistrySync
{
public:
    // A number entry that reads as this value counts as missing (its decimal text 2779058740).
    static const unsigned long kMissingNumber = 0xA5A51234UL;

    // Blanks become "_", characters that a name cannot hold are escaped (see EncodeXmlName).
    static CString StorableName(const char* name);
    // Earlier versions made every character other than an ASCII letter, digit, "_", "-" or "."
    // a "_", and an empty name "_".
    static CString FormerName(const char* name);

    CRegistrySync() = default;
    CRegistrySync(const CRegistrySync&) = delete;
    CRegistrySync& operator=(const CRegistrySync&) = delete;

    // Drops a document still held, then reads the file (or starts a new one when it does not
    // exist). 0 when the file cannot be read or is not a well-formed document.
    int Open(const char* path);
    // Why the last Open failed, in the reader's own words.
    CString GetOpenError();
    // 0 without a document; 1 without changes (nothing is written); else the write's result.
    int Save();
    void Close();
    int IsModified();

    // The entry's value; a missing entry (or one holding the sentinel) is written with the
    // default, which is returned.
    unsigned long GetNumber(const char* section, const char* key, unsigned long defaultValue);
    // The entry's text; a missing or empty entry is written with the default, which is returned.
    CString GetString(const char* section, const char* key, const char* defaultValue);
    void SetNumber(const char* section, const char* key, unsigned long value);
    // Reads without writing anything.
    unsigned long ReadNumber(const char* section, const char* key, unsigned long defaultValue);
    CString ReadString(const char* section, const char* key, const char* defaultValue);
    // Writes the default only when the entry is missing.
    void EnsureNumber(const char* section, const char* key, unsigned long defaultValue);

    // The stored section of a component. When it does not exist yet, the section that an earlier
    // version stored the name under is copied to it, so that values set there stay in force.
    CString ComponentSection(const char* name);
    // The program's own values in "UserDefined", by the names the program gives them; a value
    // stored under an earlier version's name for the key is taken over when the key has none.
    unsigned long GetUserNumber(const char* key, unsigned long defaultValue);
    CString GetUserString(const char* key, const char* defaultValue);
    void SetUserNumber(const char* key, unsigned long value);
    void SetUserString(const char* key, const char* value);

private:
    CString UserEntry(const char* key);

    CKVXMLConfig m_store;
    CMutex m_storeLock;
};
