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

constexpr CSettingKey Number(const char* name, unsigned long max = kAny, const char* why = nullptr)
{
    return {name, CSettingKey::kConfig, nullptr, max, why};
}

constexpr CSettingKey Text(const char* name, CSettingKey::TextRule rule)
{
    return {name, CSettingKey::kConfig, rule};
}

// A component's own keys take any number.
constexpr CSettingKey Own(const char* name)
{
    return {name, CSettingKey::kComponent, nullptr, kAny};
}

const CSettingKey kKeys[] = {
    Text("Filename", CheckLogFileName),
    Number("MaxLogFileSize"),
    Number("Level"),
    Number("OutputDevice", 7, "only 1 (debugger output), 2 (file) and 4 (syslog) exist"),
    Text("Format", AnyText),
    Number("FileLinesToFlush"),
    Number("DisplayLoggingInformation"),
    Number("NumberBytesInHexDumpLine", kMaxHexDumpBytesPerLine, "a wider row fits no screen"),
    Text("HexDumpFormat", CheckByteFormat),
    Number("DumpIndent", kMaxDumpIndent, "dump rows are indented by this many tabs"),
    Number("StopOnAssert"),
    Number("LogLockEnabled"),
    Text("SyslogServer", CheckSyslogServer),
    Text("SyslogTransport", CheckSyslogTransport),
    Text("SyslogFacility", CheckSyslogFacility),
    Number("FileMapping", 1, "1 maps the log file, 0 does not"),
    Number("FileBackups", 99, "at most 99 earlier log files are kept"),
    Own("_Level"),
    Own("_Version"),
    Own("_StopOnAssert"),
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
