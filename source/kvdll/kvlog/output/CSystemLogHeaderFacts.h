// The header facts of the running process and its suite installation.
#pragma once

#include "output/CLogHeaderFacts.h"

class CSystemLogHeaderFacts : public CLogHeaderFacts
{
public:
    CString GetSuiteRootDir() override;
    CString GetExecutable() override;
    CString GetActiveXControl() override;
    CString GetCreationTime() override;
    CString GetTargetPlatform() override;
    CString GetRunningPlatform() override;
};
