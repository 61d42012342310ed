// The values of the settings file that the table of keys refused, so that each is reported once
// while the file holds it, and again only after a load that found it gone. Not synchronised: the
// controller's lock guards it.
#pragma once

#include "CString.h"

#include <vector>

class CRefusedValues
{
public:
    // A load of the settings file begins.
    void StartLoad();
    // Notes the refusal; true when it is to be reported: neither the last load nor anything since
    // refused the same value.
    bool Note(const CString& problem);

private:
    std::vector<CString> m_lastLoad;
    std::vector<CString> m_sinceLoad;
};
