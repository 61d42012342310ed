#include "settings/CRefusedValues.h"

#include <algorithm>

void CRefusedValues::StartLoad()
{
    m_lastLoad.swap(m_sinceLoad);
    m_sinceLoad.clear();
}

bool CRefusedValues::Note(const CString& problem)
{
    const auto known = [&problem](const std::vector<CString>& list)
    { return std::find(list.begin(), list.end(), problem) != list.end(); };
    if (known(m_sinceLoad))
        return false;
    m_sinceLoad.push_back(problem);
    return !known(m_lastLoad);
}
