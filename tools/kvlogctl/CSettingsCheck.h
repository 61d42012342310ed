// What the library would refuse or ignore in an application's settings file, by the library's
// own table of keys (CSettingKey) and in its words: keys it does not know (with the known key a
// misspelling is close to, such as "Levle" for "Level") and values that it refuses. Missing keys
// are no finding: the library writes them with their defaults. The level and colour entries of a
// component are written by the library and never read, so they are not judged.
#pragma once

#include "CKVXMLConfig.h"
#include "CString.h"
#include "settings/CSettingKey.h"

#include <vector>

class CSettingsCheck
{
public:
    // The findings of a loaded document, one line of text each.
    static std::vector<CString> Check(const CULXMLData& document);
    // The known key of the section that the name misspells (letter case aside, at most two edits
    // away), or "".
    static CString NearMiss(const CString& name, CSettingKey::Section section);

private:
    static void CheckSection(const CULXMLData& document, const CULXMLData::CNode* node,
                             CSettingKey::Section section, std::vector<CString>& findings);
};
