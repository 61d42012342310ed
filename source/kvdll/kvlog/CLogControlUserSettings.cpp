// The application's own values. Until the controller keeps a settings file, a read returns the
// default and a write is dropped, as when the settings file cannot be opened.
#include "CLogControl.h"

unsigned long CLogControl::LogGetSetting(const char*, unsigned long defaultValue)
{
    return defaultValue;
}

void CLogControl::LogSetSetting(const char*, unsigned long) {}

CString CLogControl::LogGetSetting(const char*, const char* defaultValue)
{
    return CString(defaultValue);
}

void CLogControl::LogSetSetting(const char*, const char*) {}
