#include "LevelText.h"

#include "settings/SettingRules.h"

#include <cstddef>

namespace
{
struct NamedLevel
{
    const char* name;
    unsigned long mask;
};

// The built-in levels of the library come first, then the two whole masks.
const NamedLevel kNames[] = {{"Error", 0x1},   {"Warning", 0x2},  {"Information", 0x4},
                             {"Success", 0x8}, {"Debug", 0x8000}, {"All", 0xFFFFFFFFUL},
                             {"None", 0}};
const std::size_t kBuiltInLevels = 5;

bool FindName(const CString& name, unsigned long& mask)
{
    for (const NamedLevel& named : kNames)
        if (name.CompareNoCase(named.name) == 0)
        {
            mask = named.mask;
            return true;
        }
    return false;
}
} // namespace

bool ParseLevel(const char* text, unsigned long& mask)
{
    if (ParseSettingNumber(text, mask))
        return true;
    unsigned long combined = 0;
    CString rest(text);
    if (rest.Trim().IsEmpty())
        return false;
    for (int start = 0; start <= rest.GetLength();)
    {
        int end = rest.Find('|', start);
        if (end < 0)
            end = rest.GetLength();
        CString name = rest.Mid(start, end - start);
        unsigned long part = 0;
        if (!FindName(name.Trim(), part) && !ParseSettingNumber(name, part))
            return false;
        combined |= part;
        start = end + 1;
    }
    mask = combined;
    return true;
}

CString DescribeLevel(unsigned long mask)
{
    CString names;
    unsigned long rest = mask & 0xFFFFFFFFUL;
    if (rest == 0xFFFFFFFFUL)
        return "0xFFFFFFFF (All)";
    for (std::size_t i = 0; i < kBuiltInLevels; ++i)
        if (const NamedLevel& level = kNames[i]; (rest & level.mask) != 0)
        {
            names += names.IsEmpty() ? "" : "|";
            names += level.name;
            rest &= ~level.mask;
        }
    if (rest != 0)
        names.AppendFormat("%s0x%lX", names.IsEmpty() ? "" : "|", rest);
    CString text;
    text.Format("0x%08lX (%s)", mask & 0xFFFFFFFFUL, names.IsEmpty() ? "None" : names.GetString());
    return text;
}
