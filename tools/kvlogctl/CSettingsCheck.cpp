#include "CSettingsCheck.h"

#include "LevelText.h"
#include "PathOperations.h"

#include <algorithm>
#include <string>

namespace
{
const unsigned long kAny = 0xFFFFFFFFUL;

// The keys of the "config" section with the range in which their values make sense; a text key
// has no range.
struct ConfigKey
{
    const char* name;
    bool number;
    unsigned long low;
    unsigned long high;
    const char* why;
};

const ConfigKey kConfigKeys[] = {
    {"Filename", false, 0, 0, nullptr},
    {"MaxLogFileSize", true, 4096, kAny, "a smaller limit restarts the file at every line"},
    {"Level", true, 0, kAny, nullptr},
    {"OutputDevice", true, 0, 7, "only 1 (debugger output), 2 (file) and 4 (syslog) exist"},
    {"Format", false, 0, 0, nullptr},
    {"FileLinesToFlush", true, 1, kAny, "0 flushes only when the file is closed"},
    {"DisplayLoggingInformation", true, 0, 1, "it is a switch"},
    {"NumberBytesInHexDumpLine", true, 1, 256, "0 shows no dump rows, more makes unreadable rows"},
    {"HexDumpFormat", false, 0, 0, nullptr},
    {"DumpIndent", true, 0, 64, "dump rows are indented by this many blanks"},
    {"StopOnAssert", true, 0, kAny, nullptr},
    {"LogLockEnabled", true, 0, 1, "it is a switch"},
    {"SyslogServer", false, 0, 0, nullptr},
    {"SyslogTransport", false, 0, 0, nullptr},
    {"SyslogFacility", false, 0, 0, nullptr},
    {"FileBackups", true, 0, 99, "at most 99 earlier files are kept"},
};

const char* const kComponentKeys[] = {"_Level", "_Version", "_StopOnAssert"};
const unsigned long kLastLevelIndex = 32;
const unsigned long kLargestColour = 0xFFFFFF;

// Edits (insertions, deletions, changes, swaps of neighbours) that turn one text into the other.
std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

CString Finding(const CString& section, const char* format, const CString& key,
                const CString& detail)
{
    CString text;
    text.Format(format, key.GetString(), detail.GetString());
    return "[" + section + "] " + text;
}

CString UnknownKey(const CString& section, const CString& key, const CString& nearMiss)
{
    if (nearMiss.IsEmpty())
        return Finding(section, "unknown key \"%s\"%s: the library ignores it", key, "");
    return Finding(section, "unknown key \"%s\": did you mean \"%s\"?", key, nearMiss);
}

void CheckNumber(const CString& section, const CULXMLData::CEntry* entry, unsigned long low,
                 unsigned long high, const char* why, std::vector<CString>& findings)
{
    unsigned long value = 0;
    if (!ParseNumber(entry->m_value, value))
    {
        findings.push_back(
            Finding(section, "\"%s\" is \"%s\", not a number", entry->m_name, entry->m_value));
        return;
    }
    if (value >= low && value <= high)
        return;
    CString range;
    range.Format("%s out of range %lu..%lu", entry->m_value.GetString(), low, high);
    if (why != nullptr)
        range.AppendFormat(" (%s)", why);
    findings.push_back(Finding(section, "\"%s\" is %s", entry->m_name, range));
}

// The library refuses a name that leaves the log folder and keeps the default name.
void CheckFileName(const CString& section, const CULXMLData::CEntry* entry,
                   std::vector<CString>& findings)
{
    if (!IsNameInsideFolder(entry->m_value))
        findings.push_back(Finding(section, "\"%s\" is \"%s\", a name that leaves the log folder",
                                   entry->m_name, entry->m_value));
}
} // namespace

std::vector<const char*> CSettingsCheck::ConfigKeyNames()
{
    std::vector<const char*> names;
    for (const ConfigKey& key : kConfigKeys)
        names.push_back(key.name);
    return names;
}

CString CSettingsCheck::NearMiss(const CString& name, const std::vector<const char*>& known)
{
    CString lowerName = name;
    lowerName.MakeLower();
    for (const char* candidate : known)
    {
        CString lowerCandidate(candidate);
        lowerCandidate.MakeLower();
        if (lowerCandidate != lowerName && lowerCandidate.GetLength() >= 4 &&
            EditDistance(lowerName.str(), lowerCandidate.str()) <= 2)
            return candidate;
    }
    return CString();
}

bool CSettingsCheck::IsConfigKey(const char* name, CString* spelling)
{
    for (const ConfigKey& key : kConfigKeys)
        if (CString(name).CompareNoCase(key.name) == 0)
        {
            if (spelling != nullptr)
                *spelling = key.name;
            return true;
        }
    return false;
}

std::vector<CString> CSettingsCheck::Check(const CULXMLData& document)
{
    std::vector<CString> findings;
    const CULXMLData::CNode* root = document.GetRoot();
    POSITION position = document.GetFirstChildPosition(root);
    while (position != nullptr)
    {
        const CULXMLData::CNode* node = document.GetNextChild(root, position);
        if (node->m_name.CompareNoCase("config") == 0)
            CheckConfig(document, node, findings);
        else if (node->m_name.CompareNoCase("UserDefined") != 0)
            CheckComponent(document, node, findings);
    }
    return findings;
}

void CSettingsCheck::CheckConfig(const CULXMLData& document, const CULXMLData::CNode* node,
                                 std::vector<CString>& findings)
{
    POSITION position = document.GetFirstAttributePosition(node);
    while (position != nullptr)
    {
        const CULXMLData::CEntry* entry = document.GetNextAttribute(node, position);
        const ConfigKey* known = nullptr;
        for (const ConfigKey& key : kConfigKeys)
            if (entry->m_name.CompareNoCase(key.name) == 0)
                known = &key;
        if (known == nullptr)
            findings.push_back(
                UnknownKey(node->m_name, entry->m_name, NearMiss(entry->m_name, ConfigKeyNames())));
        else if (known->number)
            CheckNumber(node->m_name, entry, known->low, known->high, known->why, findings);
        else if (CString(known->name) == "Filename")
            CheckFileName(node->m_name, entry, findings);
    }
}

// A component's section: its own "_" keys, and per level a name entry holding the level's index
// with a "_Color" entry beside it.
void CSettingsCheck::CheckComponent(const CULXMLData& document, const CULXMLData::CNode* node,
                                    std::vector<CString>& findings)
{
    const std::vector<const char*> ownKeys(std::begin(kComponentKeys), std::end(kComponentKeys));
    POSITION position = document.GetFirstAttributePosition(node);
    while (position != nullptr)
    {
        const CULXMLData::CEntry* entry = document.GetNextAttribute(node, position);
        const CString& name = entry->m_name;
        const bool own =
            std::any_of(ownKeys.begin(), ownKeys.end(),
                        [&name](const char* key) { return name.CompareNoCase(key) == 0; });
        if (own)
            CheckNumber(node->m_name, entry, 0, kAny, nullptr, findings);
        else if (name.Left(1) == "_")
            findings.push_back(UnknownKey(node->m_name, name, NearMiss(name, ownKeys)));
        else if (name.GetLength() > 6 && name.Right(6).CompareNoCase("_Color") == 0)
            CheckNumber(node->m_name, entry, 0, kLargestColour, "colours are 0xRRGGBB", findings);
        else
            CheckNumber(node->m_name, entry, 0, kLastLevelIndex, "a level's index", findings);
    }
}
