// What the library would refuse or ignore in an application's settings file: the reader's error,
// keys it does not know (with the known key a misspelling is close to, such as "Levle" for
// "Level"), numbers it cannot read and values out of their useful range. Missing keys are no
// finding: the library writes them with their defaults.
#pragma once

#include "CKVXMLConfig.h"
#include "CString.h"

#include <vector>

class CSettingsCheck
{
public:
    // The findings of a loaded document, one line of text each.
    static std::vector<CString> Check(const CULXMLData& document);
    // The known key that the name misspells (letter case aside, at most two edits away), or "".
    static CString NearMiss(const CString& name, const std::vector<const char*>& known);
    // The keys of the "config" section.
    static std::vector<const char*> ConfigKeyNames();
    // True when the key is a key of the "config" section, in any letter case.
    static bool IsConfigKey(const char* name, CString* spelling = nullptr);

private:
    static void CheckConfig(const CULXMLData& document, const CULXMLData::CNode* node,
                            std::vector<CString>& findings);
    static void CheckComponent(const CULXMLData& document, const CULXMLData::CNode* node,
                               std::vector<CString>& findings);
};
