#include "settings/CSettingKey.h"

#include "output/syslog/CSyslogTarget.h"
#include "settings/SettingRules.h"

namespace
{
const unsigned long kAny = 0xFFFFFFFFUL;

bool CheckByteFormat(const char* format, CString& problem)
{
    if (IsUsableByteFormat(format))
        return true;
    problem.Format("\"HexDumpFormat\" \"%s\" is not one conversion of an int giving at most %d "
                   "characters",
                   format, kMaxByteCellLength);
    return false;
}

bool AnyText(const char*, CString&)
{
    return true;
}

bool CheckSyslogServer(const char* server, CString& problem)
{
    return CSyslogTarget().ParseServer(server, problem);
}

bool CheckSyslogTransport(const char* transport, CString& problem)
{
    return CSyslogTarget().ParseTransport(transport, problem);
}

bool CheckSyslogFacility(const char* facility, CString& problem)
{
    return CSyslogTarget().ParseFacility(facility, problem);
}

using S = CSettingKey;
const CSettingKey kKeys[] = {
    {"Filename", S::kConfig, true, CheckLogFileName, 0, nullptr},
    {"MaxLogFileSize", S::kConfig, true, nullptr, kAny, nullptr},
    {"Level", S::kConfig, true, nullptr, kAny, nullptr},
    {"OutputDevice", S::kConfig, true, nullptr, 7,
     "only 1 (debugger output), 2 (file) and 4 (syslog) exist"},
    {"Format", S::kConfig, true, AnyText, 0, nullptr},
    {"FileLinesToFlush", S::kConfig, true, nullptr, kAny, nullptr},
    {"DisplayLoggingInformation", S::kConfig, true, nullptr, kAny, nullptr},
    {"NumberBytesInHexDumpLine", S::kConfig, true, nullptr, kMaxHexDumpBytesPerLine,
     "a wider row fits no screen"},
    {"HexDumpFormat", S::kConfig, true, CheckByteFormat, 0, nullptr},
    {"DumpIndent", S::kConfig, true, nullptr, kMaxDumpIndent,
     "dump rows are indented by this many tabs"},
    {"StopOnAssert", S::kConfig, true, nullptr, kAny, nullptr},
    {"LogLockEnabled", S::kConfig, true, nullptr, kAny, nullptr},
    {"SyslogServer", S::kConfig, false, CheckSyslogServer, 0, nullptr},
    {"SyslogTransport", S::kConfig, false, CheckSyslogTransport, 0, nullptr},
    {"SyslogFacility", S::kConfig, false, CheckSyslogFacility, 0, nullptr},
    {"FileMapping", S::kConfig, false, nullptr, 1, "1 maps the log file, 0 does not"},
    {"_Level", S::kComponent, true, nullptr, kAny, nullptr},
    {"_Version", S::kComponent, true, nullptr, kAny, nullptr},
    {"_StopOnAssert", S::kComponent, true, nullptr, kAny, nullptr},
};
} // namespace

const CSettingKey* CSettingKey::Find(Section section, const char* name)
{
    for (const CSettingKey& key : kKeys)
        if (key.m_section == section && CString(name).CompareNoCase(key.m_name) == 0)
            return &key;
    return nullptr;
}

std::vector<const CSettingKey*> CSettingKey::All(Section section)
{
    std::vector<const CSettingKey*> keys;
    for (const CSettingKey& key : kKeys)
        if (key.m_section == section)
            keys.push_back(&key);
    return keys;
}

bool CSettingKey::Check(const char* text, CString& problem, unsigned long* number) const
{
    if (!IsNumber())
        // An empty text is a missing one: the library writes the value in force, or the key
        // stays unset.
        return *text == '\0' || m_textRule(text, problem);
    unsigned long value = 0;
    if (!ParseSettingNumber(text, value))
        problem.Format("\"%s\" \"%s\" is not a number", m_name, text);
    else if (value > m_max)
        problem.Format("\"%s\" %s is above %lu: %s", m_name, CString(text).Trim().GetString(),
                       m_max, m_why);
    else
    {
        if (number != nullptr)
            *number = value;
        return true;
    }
    return false;
}
