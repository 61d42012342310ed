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

void CSystemLogHeaderFacts::PrepareRunningPlatform()
{
    std::lock_guard<std::mutex> lock(m_runningMutex);
    if (m_runningKnown.load())
        return;
    GetRunningWindowsVersionString(m_running);
    m_runningKnown = true;
}

CString CSystemLogHeaderFacts::GetRunningPlatform()
{
    PrepareRunningPlatform();
    std::lock_guard<std::mutex> lock(m_runningMutex);
    return m_running;
}
