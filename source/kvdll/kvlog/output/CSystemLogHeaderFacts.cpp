#include "output/CSystemLogHeaderFacts.h"

#include "InstallationFacts.h"
#include "OsLocaleTime.h"
#include "PathOperations.h"
#include "WindowsVersion.h"

CString CSystemLogHeaderFacts::GetSuiteRootDir()
{
    return NormalizePath(::GetSuiteRootDir());
}

CString CSystemLogHeaderFacts::GetExecutable()
{
    return GetFullPath(GetModulePath());
}

CString CSystemLogHeaderFacts::GetActiveXControl()
{
    return GetActiveXControlPath();
}

CString CSystemLogHeaderFacts::GetCreationTime()
{
    return os::FormatLongLocalDateTime();
}

CString CSystemLogHeaderFacts::GetTargetPlatform()
{
    CString text;
    GetTargetWindowsVersionString(text);
    return text;
}

CString CSystemLogHeaderFacts::GetRunningPlatform()
{
    CString text;
    GetRunningWindowsVersionString(text);
    return text;
}
