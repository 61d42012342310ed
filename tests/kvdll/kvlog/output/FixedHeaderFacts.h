// Header facts of a made-up installation, the same on every machine, for tests that compare a
// log file's bytes.
#pragma once

#include "output/CLogHeaderFacts.h"

class CFixedHeaderFacts : public CLogHeaderFacts
{
public:
    CString GetSuiteRootDir() override { return "C:\\suite"; }
    CString GetExecutable() override { return "C:\\suite\\ctrl\\app.exe"; }
    CString GetActiveXControl() override { return control; }
    CString GetCreationTime() override { return "Tuesday, March 14, 1995 12:41:29"; }
    CString GetTargetPlatform() override { return target; }
    CString GetRunningPlatform() override { return running; }

    CString control = "C:\\suite\\ctrl\\Q5300.ocx";
    CString target = "Microsoft Windows 10 Pro (22H2) [x64] - Build: 19045";
    CString running;
};
