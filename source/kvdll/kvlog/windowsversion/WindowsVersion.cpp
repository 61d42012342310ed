#include "WindowsVersion.h"

#include "InstallationFacts.h"
#include "OsFileSystem.h"
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
    // The program's own name, then the name it has on Windows, which a suite laid out as on
    // Windows holds (on Windows both name the same file).
    const CString names[] = {CString("rvtutilities") + os::kProgramSuffix, "RVTUtilities.exe"};
    for (const CString& name : names)
    {
        const CString program = NormalizePath(GetSuiteCtrlDir() + "/" + name);
        if (FileExists(program))
        {
            os::RunProgramCaptureOutput(program, text);
            return 1;
        }
    }
    return 0;
}
