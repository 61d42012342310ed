// The application's own values in the settings file's "UserDefined" section. A value that cannot
// be stored now stays in force in memory and goes into the file with the next save that succeeds.
#include "controller/CLogControl.h"

unsigned long CLogControl::LogGetSetting(const char* key, unsigned long defaultValue)
{
    unsigned long value = defaultValue;
    if (key != nullptr)
        UseSettingsFile(SettingsUse::kChange,
                        [&](bool) { value = GetUserNumber(key, defaultValue); });
    return value;
}

void CLogControl::LogSetSetting(const char* key, unsigned long value)
{
    if (key != nullptr)
        UseSettingsFile(SettingsUse::kChange, [&](bool) { SetUserNumber(key, value); });
}

CString CLogControl::LogGetSetting(const char* key, const char* defaultValue)
{
    CString value(defaultValue);
    if (key != nullptr)
        UseSettingsFile(SettingsUse::kChange,
                        [&](bool) { value = GetUserString(key, defaultValue); });
    return value;
}

void CLogControl::LogSetSetting(const char* key, const char* value)
{
    if (key != nullptr)
        UseSettingsFile(SettingsUse::kChange,
                        [&](bool) { SetUserString(key, value != nullptr ? value : ""); });
}
