#include "WindowsVersion.h"

#include "InstallationFacts.h"
#include "OsProcess.h"
#include "OsSystemInfo.h"
#include "PathOperations.h"
#include "windowsversion/CSystemWindowsFacts.h"
#include "windowsversion/CWindowsVersionDetector.h"

int GetWindowsInfo(CString& osName, CString& servicePack, CString& build, int& is64Bit)
{
    CSystemWindowsFacts facts;
    return CWindowsVersionDetector(facts).GetWindowsInfo(osName, servicePack, build, is64Bit);
}

int GetTargetWindowsVersionString(CString& text)
{
    CSystemWindowsFacts facts;
    text = CWindowsVersionDetector(facts).GetTargetVersionString();
    return 1;
}

int GetRunningWindowsVersionString(CString& text)
{
    const CString program = NormalizePath(GetSuiteCtrlDir() + "/RVTUtilities.exe");
    if (!FileExists(program))
        return 0;
    os::RunProgramCaptureOutput(program, text);
    return 1;
}
