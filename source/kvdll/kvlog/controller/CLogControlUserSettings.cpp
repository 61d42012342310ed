// The application's own values in the settings file's "UserDefined" section. Each call takes the
// controller lock around its open-read-write-close sequence: the store holds one document at a
// time, and a reload on the watch thread running between these steps would otherwise close or
// replace the document under the call.
#include "controller/CLogControl.h"

#include "CSingleLock.h"

unsigned long CLogControl::LogGetSetting(const char* key, unsigned long defaultValue)
{
    CSingleLock lock(&m_lock, true);
    if (m_closed || key == nullptr || !Open(GetSettingsFileName()))
        return defaultValue;
    const unsigned long value = GetUserNumber(key, defaultValue);
    if (IsModified())
        Save();
    Close();
    return value;
}

void CLogControl::LogSetSetting(const char* key, unsigned long value)
{
    CSingleLock lock(&m_lock, true);
    if (m_closed || key == nullptr || !Open(GetSettingsFileName()))
        return;
    SetUserNumber(key, value);
    Save();
    Close();
}

CString CLogControl::LogGetSetting(const char* key, const char* defaultValue)
{
    CSingleLock lock(&m_lock, true);
    const CString fallback(defaultValue);
    if (m_closed || key == nullptr || !Open(GetSettingsFileName()))
        return fallback;
    const CString value = GetUserString(key, fallback);
    if (IsModified())
        Save();
    Close();
    return value;
}

void CLogControl::LogSetSetting(const char* key, const char* value)
{
    CSingleLock lock(&m_lock, true);
    if (m_closed || key == nullptr || !Open(GetSettingsFileName()))
        return;
    SetUserString(key, value != nullptr ? value : "");
    Save();
    Close();
}
