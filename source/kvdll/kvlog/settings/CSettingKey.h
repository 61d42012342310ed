// The keys of the settings file that the library reads, each with the rule for its value. The
// library applies the rule when it loads the settings (a refused value leaves the value in force
// and is reported), kvlogctl when it sets or checks a value: both refuse the same values, in the
// same words. The table sits in a static library of its own, so that kvlogctl links it without
// the module.
#pragma once

#include "CString.h"

#include <vector>

class CSettingKey
{
public:
    enum Section
    {
        kConfig,   // the "config" section
        kComponent // every component's section
    };
    // A text key's rule: true when the text can be used, else false with the reason in problem,
    // naming the key and the text.
    using TextRule = bool (*)(const char* text, CString& problem);

    // The key of the section, in any letter case; null for a key that the library does not read.
    static const CSettingKey* Find(Section section, const char* name);
    // The keys of the section: those that a new file receives, in that order, then those that
    // are read only when present.
    static std::vector<const CSettingKey*> All(Section section);

    const char* GetName() const { return m_name; }
    bool IsNumber() const { return m_textRule == nullptr; }
    // True when the library uses the text as it stands. Otherwise problem says why, naming the
    // key and the text. number receives a number key's value and is left alone otherwise. An
    // empty text is a missing one: the library writes the value in force, or the key is unset.
    bool Check(const char* text, CString& problem, unsigned long* number = nullptr) const;

    // The table's columns; a number key has no text rule, a text key no largest value.
    const char* m_name;
    Section m_section;
    TextRule m_textRule = nullptr;
    unsigned long m_max = 0;
    // Why a larger number cannot be used.
    const char* m_why = nullptr;
};
