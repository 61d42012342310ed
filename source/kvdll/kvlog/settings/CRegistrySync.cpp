#include "settings/CRegistrySync.h"

#include "CSingleLock.h"
#include "XmlNames.h"

namespace
{
const char kUserSection[] = "UserDefined";

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

int CRegistrySync::Open(const char* path)
{
    CSingleLock lock(&m_storeLock, true);
    if (m_store.IsOpen())
        m_store.Close();
    return m_store.Open(path);
}

CString CRegistrySync::GetOpenError()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetLastError();
}

int CRegistrySync::Save()
{
    CSingleLock lock(&m_storeLock, true);
    if (!m_store.IsOpen())
        return 0;
    return m_store.IsModified() ? m_store.Save() : 1;
}

void CRegistrySync::Close()
{
    CSingleLock lock(&m_storeLock, true);
    if (m_store.IsOpen())
        m_store.Close();
}

int CRegistrySync::IsModified()
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.IsModified();
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
    m_store.SetDWord(section, key, value);
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

unsigned long CRegistrySync::GetUserNumber(const char* key, unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return GetNumber(kUserSection, UserEntry(key), defaultValue);
}

CString CRegistrySync::GetUserString(const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return GetString(kUserSection, UserEntry(key), defaultValue);
}

void CRegistrySync::SetUserNumber(const char* key, unsigned long value)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.SetDWord(kUserSection, StorableName(key), value);
}

void CRegistrySync::SetUserString(const char* key, const char* value)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.SetString(kUserSection, StorableName(key), value);
}
