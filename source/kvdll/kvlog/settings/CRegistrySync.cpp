#include "settings/CRegistrySync.h"

#include "CSingleLock.h"

namespace
{
const char kUserSection[] = "UserDefined";

bool IsStorableCharacter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '_' || ch == '-' || ch == '.';
}
} // namespace

CString CRegistrySync::StorableName(const char* key)
{
    CString name(key);
    if (name.IsEmpty())
        return CString("_");
    for (int i = 0; i < name.GetLength(); ++i)
        if (!IsStorableCharacter(name[i]))
            name.SetAt(i, '_');
    return name;
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
    const unsigned long value = m_store.GetDWord(section, StorableName(key), kMissingNumber);
    if (value != kMissingNumber)
        return value;
    m_store.SetDWord(section, StorableName(key), defaultValue);
    return defaultValue;
}

CString CRegistrySync::GetString(const char* section, const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    const CString value = m_store.GetString(section, StorableName(key), "");
    if (!value.IsEmpty())
        return value;
    m_store.SetString(section, StorableName(key), defaultValue);
    return CString(defaultValue);
}

void CRegistrySync::SetNumber(const char* section, const char* key, unsigned long value)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.SetDWord(section, StorableName(key), value);
}

void CRegistrySync::SetUserString(const char* key, const char* value)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.SetString(kUserSection, StorableName(key), value);
}

unsigned long CRegistrySync::ReadNumber(const char* section, const char* key,
                                        unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetDWord(section, StorableName(key), defaultValue);
}

CString CRegistrySync::ReadString(const char* section, const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    return m_store.GetString(section, StorableName(key), defaultValue);
}

void CRegistrySync::EnsureNumber(const char* section, const char* key, unsigned long defaultValue)
{
    CSingleLock lock(&m_storeLock, true);
    m_store.AddDWord(section, StorableName(key), defaultValue);
}
