#include "settings/CRegistrySync.h"

#include "controller/CLiveComponents.h"

#include "CSingleLock.h"
#include "CULXMLEntryList.h"
#include "XmlNames.h"

namespace
{
const char kUserSection[] = "UserDefined";
// Another thread's use of the file waits for the file twice at most (its read and its save).
const unsigned long kTurnWaitMilliseconds = 2 * CKVXMLConfig::kWaitMilliseconds + 1000;
const unsigned long kTurnStepMilliseconds = 20;

// A text read as the settings file's numbers are read.
unsigned long NumberOf(const CString& text)
{
    CULList<CULXMLData::CEntry*> entries;
    entries.AddTail(new CULXMLData::CEntry{CString("n"), text});
    return CULXMLEntryList(&entries).GetULong("n", 0, true);
}

bool IsFormerCharacter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '_' || ch == '-' || ch == '.';
}
} // namespace

CString CRegistrySync::StorableName(const char* name)
{
    return CString(EncodeXmlName(name != nullptr ? name : ""));
}

CString CRegistrySync::FormerName(const char* name)
{
    CString former(name);
    if (former.IsEmpty())
        return CString("_");
    for (int i = 0; i < former.GetLength(); ++i)
        if (!IsFormerCharacter(former[i]))
            former.SetAt(i, '_');
    return former;
}

CRegistrySync::~CRegistrySync()
{
    Close();
}

bool CRegistrySync::TakeTurn(bool (*giveUp)())
{
    // A fork gathering the locks gets its moment between two uses of the file.
    CLiveComponents::AwaitFork();
    for (unsigned long waited = 0; !m_turnLock.TryLock(kTurnStepMilliseconds);
         waited += kTurnStepMilliseconds)
        if (waited >= kTurnWaitMilliseconds || (giveUp != nullptr && giveUp()))
            return false;
    m_turnHolder = std::this_thread::get_id();
    return true;
}

void CRegistrySync::GiveTurnBack()
{
    if (m_turnHolder.load() != std::this_thread::get_id())
        return;
    m_turnHolder = std::thread::id();
    m_turnLock.Unlock();
}

int CRegistrySync::Open(const char* path, bool (*giveUp)())
{
    if (!TakeTurn(giveUp))
        return 0;
    CSingleLock lock(&m_storeLock, true);
    if (m_store.IsOpen())
        m_store.Close();
    if (!m_store.Open(path, giveUp))
    {
        GiveTurnBack();
        return 0;
    }
    for (const PendingValue& pending : m_pending)
        m_store.SetString(pending.section, pending.key, pending.value);
    return 1;
}

CString CRegistrySync::GetOpenError()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetLastError();
}

bool CRegistrySync::TakeNewFailure()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.TakeNewFailure();
}

int CRegistrySync::Save()
{
    CSingleLock lock(&m_storeLock, true);
    if (!m_store.IsOpen())
        return 0;
    if (!m_store.IsModified())
        return 1;
    if (!m_store.Save())
        return 0;
    // Every value kept so far went into the document, at its open or as it was set.
    m_pending.clear();
    return 1;
}

bool CRegistrySync::WasTakenMeanwhile()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.WasTakenMeanwhile();
}

void CRegistrySync::Close()
{
    {
        CSingleLock lock(&m_storeLock, true);
        if (m_store.IsOpen())
            m_store.Close();
    }
    GiveTurnBack();
}

int CRegistrySync::IsModified()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.IsModified();
}

bool CRegistrySync::HasPendingValues()
{
    CSingleLock lock(&m_storeLock, true);
    return !m_pending.empty();
}

bool CRegistrySync::TryLockForFork()
{
    if (!m_turnLock.TryLock(0))
        return false;
    m_turnHolder = std::this_thread::get_id();
    m_turnHeldForFork = true;
    return true;
}

void CRegistrySync::UnlockAfterFork(bool inChild)
{
    if (!m_turnHeldForFork)
        return;
    m_turnHeldForFork = false;
    m_turnHolder = std::thread::id();
    if (inChild)
        m_turnLock.ReleaseAfterFork();
    else
        m_turnLock.Unlock();
}

void CRegistrySync::StoreValue(const char* section, const char* key, const CString& value)
{
    for (PendingValue& pending : m_pending)
        if (pending.section.CompareNoCase(section) == 0 && pending.key.CompareNoCase(key) == 0)
        {
            pending.value = value;
            m_store.SetString(section, key, value);
            return;
        }
    m_pending.push_back({section, key, value});
    m_store.SetString(section, key, value);
}

const CRegistrySync::PendingValue* CRegistrySync::FindPending(const char* section,
                                                              const char* key) const
{
    for (const PendingValue& pending : m_pending)
        if (pending.section.CompareNoCase(section) == 0 && pending.key.CompareNoCase(key) == 0)
            return &pending;
    return nullptr;
}

unsigned long CRegistrySync::GetNumber(const char* section, const char* key,
                                       unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    const unsigned long value = m_store.GetDWord(section, key, kMissingNumber);
    if (value != kMissingNumber)
        return value;
    m_store.SetDWord(section, key, defaultValue);
    return defaultValue;
}

CString CRegistrySync::GetString(const char* section, const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    const CString value = m_store.GetString(section, key, "");
    if (!value.IsEmpty())
        return value;
    m_store.SetString(section, key, defaultValue);
    return CString(defaultValue);
}

void CRegistrySync::SetNumber(const char* section, const char* key, unsigned long value)
{
    CSingleLock lock(&m_storeLock, true);
    CString text;
    text.Format("%lu", value);
    StoreValue(section, key, text);
}

unsigned long CRegistrySync::ReadNumber(const char* section, const char* key,
                                        unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetDWord(section, key, defaultValue);
}

CString CRegistrySync::ReadString(const char* section, const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetString(section, key, defaultValue);
}

void CRegistrySync::EnsureNumber(const char* section, const char* key, unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.AddDWord(section, key, defaultValue);
}

CString CRegistrySync::ComponentSection(const char* name)
{
    CSingleLock lock(&m_storeLock, true);
    const CString section = StorableName(name);
    m_store.CopySection(FormerName(name), section);
    return section;
}

// Called under the store lock.
CString CRegistrySync::UserEntry(const char* key)
{
    const CString entry = StorableName(key);
    const CString former = FormerName(key);
    if (!m_store.HasEntry(kUserSection, entry) && m_store.HasEntry(kUserSection, former))
        m_store.SetString(kUserSection, entry, m_store.GetString(kUserSection, former, ""));
    return entry;
}

// Without a document the value kept in memory, or the default.
unsigned long CRegistrySync::GetUserNumber(const char* key, unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    if (m_store.IsOpen())
        return GetNumber(kUserSection, UserEntry(key), defaultValue);
    const PendingValue* pending = FindPending(kUserSection, StorableName(key));
    return pending != nullptr ? NumberOf(pending->value) : defaultValue;
}

CString CRegistrySync::GetUserString(const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    if (m_store.IsOpen())
        return GetString(kUserSection, UserEntry(key), defaultValue);
    const PendingValue* pending = FindPending(kUserSection, StorableName(key));
    return pending != nullptr ? pending->value : CString(defaultValue);
}

void CRegistrySync::SetUserNumber(const char* key, unsigned long value)
{
    CSingleLock lock(&m_storeLock, true);
    CString text;
    text.Format("%lu", value);
    StoreValue(kUserSection, StorableName(key), text);
}

void CRegistrySync::SetUserString(const char* key, const char* value)
{
    CSingleLock lock(&m_storeLock, true);
    StoreValue(kUserSection, StorableName(key), CString(value));
}
