#include "CSettingsCheck.h"

#include <algorithm>
#include <string>

namespace
{
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

CString UnknownKey(const CString& section, const CString& key, const CString& nearMiss)
{
    if (nearMiss.IsEmpty())
        return "[" + section + "] unknown key \"" + key + "\": the library ignores it";
    return "[" + section + "] unknown key \"" + key + "\": did you mean \"" + nearMiss + "\"?";
}
} // namespace

CString CSettingsCheck::NearMiss(const CString& name, CSettingKey::Section section)
{
    CString lowerName = name;
    lowerName.MakeLower();
    for (const CSettingKey* key : CSettingKey::All(section))
    {
        CString lowerCandidate(key->GetName());
        lowerCandidate.MakeLower();
        if (lowerCandidate != lowerName && lowerCandidate.GetLength() >= 4 &&
            EditDistance(lowerName.str(), lowerCandidate.str()) <= 2)
            return key->GetName();
    }
    return CString();
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
            CheckSection(document, node, CSettingKey::kConfig, findings);
        else if (node->m_name.CompareNoCase("UserDefined") != 0)
            CheckSection(document, node, CSettingKey::kComponent, findings);
    }
    return findings;
}

// In a component's section only the keys beginning with "_" are the library's own; the others
// name its levels.
void CSettingsCheck::CheckSection(const CULXMLData& document, const CULXMLData::CNode* node,
                                  CSettingKey::Section section, std::vector<CString>& findings)
{
    POSITION position = document.GetFirstAttributePosition(node);
    while (position != nullptr)
    {
        const CULXMLData::CEntry* entry = document.GetNextAttribute(node, position);
        const CSettingKey* key = CSettingKey::Find(section, entry->m_name);
        CString problem;
        if (key != nullptr && !key->Check(entry->m_value, problem))
            findings.push_back("[" + node->m_name + "] " + problem);
        else if (key == nullptr &&
                 (section == CSettingKey::kConfig || entry->m_name.Left(1) == "_"))
            findings.push_back(
                UnknownKey(node->m_name, entry->m_name, NearMiss(entry->m_name, section)));
    }
}
