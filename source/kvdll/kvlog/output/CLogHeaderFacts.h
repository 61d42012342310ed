// The facts that head every log file: the installation, the program, the time of creation and
// the platform. CSystemLogHeaderFacts asks the system; tests supply fixed facts.
#pragma once

#include "CString.h"

class CLogHeaderFacts
{
public:
    virtual ~CLogHeaderFacts() = default;

    virtual CString GetSuiteRootDir() = 0;
    // The running program's file as a full path.
    virtual CString GetExecutable() = 0;
    // The registered file of the suite's ActiveX control, "" when it is not registered.
    virtual CString GetActiveXControl() = 0;
    virtual CString GetCreationTime() = 0;
    virtual CString GetTargetPlatform() = 0;
    // "" when the suite's utilities program is missing.
    virtual CString GetRunningPlatform() = 0;
};
