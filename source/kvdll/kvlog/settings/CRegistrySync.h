// The controller's access to its settings file: the settings database behind a lock of its own,
// with reads that write a missing entry's default back, so that the file comes to list every key.
//
// Every use follows one pattern: Open (which reads the whole file afresh), reads and writes in
// memory, Save (only when something changed), Close, all on one thread. Open takes this
// program's turn at the file, which Close gives back, so the threads of a program take turns as
// the programs sharing the file do; every wait for the file happens in Open and Save, which are
// therefore never called with the controller lock held. The store lock covers each call.
//
// A value that a program stores (SetNumber, SetUserNumber, SetUserString) is kept in memory until
// a save has put it into the file: it goes into every document opened meanwhile, and the user
// values read back while the file cannot be opened are these.
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

#include <atomic>
#include <thread>
#include <vector>

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
    ~CRegistrySync();

    // Takes this program's turn at the file, drops a document still held, then reads the file
    // (or starts a new one when it does not exist); the values kept in memory go into it. 0,
    // with the turn given back, when the file cannot be used (CKVXMLConfig::Open) or giveUp
    // ends a wait.
    int Open(const char* path, bool (*giveUp)() = nullptr);
    // Why the last Open or Save failed, in words.
    CString GetOpenError();
    // True once per failure that is new (CKVXMLConfig::TakeNewFailure).
    bool TakeNewFailure();
    // 0 without a document; 1 without changes (nothing is written); else the write's result.
    int Save();
    // The last Save found that another program had created the file meanwhile: the whole
    // sequence is to run again from Open.
    bool WasTakenMeanwhile();
    // Drops the document and gives the turn back (on the thread that opened).
    void Close();
    int IsModified();
    bool HasPendingValues();
    // Fork handlers: no use of the file is under way while the process forks.
    bool TryLockForFork();
    void UnlockAfterFork(bool inChild);

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
    struct PendingValue
    {
        CString section;
        CString key;
        CString value;
    };

    CString UserEntry(const char* key);
    // Called under the store lock.
    void StoreValue(const char* section, const char* key, const CString& value);
    const PendingValue* FindPending(const char* section, const char* key) const;
    bool TakeTurn(bool (*giveUp)());
    void GiveTurnBack();

    CKVXMLConfig m_store;
    CMutex m_storeLock;
    std::vector<PendingValue> m_pending; // under m_storeLock
    // One use of the file at a time within the program, from Open to Close.
    CMutex m_turnLock;
    std::atomic<std::thread::id> m_turnHolder{};
    bool m_turnHeldForFork = false;
};
