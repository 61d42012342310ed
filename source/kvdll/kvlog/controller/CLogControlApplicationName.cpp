// The application name: set once per process, or derived from the command line by the first line.
#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "OsProcess.h"
#include "controller/LogBanner.h"

#include <cctype>

namespace
{
const int kBareNameLength = 8;

bool IsRejectedName(const CString& name)
{
    static const char* const kRejected[] = {
        "reboot_detected", "_detected", " -l0x9  -your_launchersetup_detected", "setup_detected"};
    for (const char* rejected : kRejected)
        if (name == rejected)
            return true;
    return name.Left(3) == "_is";
}

CString CandidateFrom(const CString& commandLine)
{
    const int lastBackslash = commandLine.ReverseFind('\\');
    const int lastDot = commandLine.ReverseFind('.');
    if (lastDot >= 0)
    {
        const CString cut = commandLine.Left(lastDot);
        return lastBackslash < 0 ? cut : cut.Mid(lastBackslash + 1);
    }
    if (lastBackslash >= 0)
        return commandLine.Mid(lastBackslash + 1);
    if (commandLine.GetLength() <= kBareNameLength)
        return CString();
    for (int i = 0; i < kBareNameLength; ++i)
        if (!std::isalnum(static_cast<unsigned char>(commandLine[i])))
            return CString();
    return commandLine.Left(kBareNameLength);
}
} // namespace

void CLogControl::SetApplicationName(const char* name, int flag)
{
    {
        CSingleLock lock(&m_lock, true);
        if (!m_applicationName.IsEmpty())
        {
            WriteBanner(LogBanner::kCalledTwice);
            m_loggingDisabled = 1;
            return;
        }
        m_applicationNameFlag = flag;
        if (name != nullptr)
            m_applicationName = name;
    }
    LoadSettings();
    StartWatchingSettings();
    CSingleLock lock(&m_lock, true);
    if (m_loggingDisabled != 0)
        WriteBanner(LogBanner::kCalledAfterFirstLog);
}

CString CLogControl::DetectApplicationName() const
{
    return DetectApplicationNameFrom(os::GetCommandLineA());
}

CString CLogControl::DetectApplicationNameFrom(const char* commandLine)
{
    CString text(commandLine);
    text.Replace('/', '\\');
    CString name = CandidateFrom(text);
    name.MakeLower();
    name += "_detected";
    return IsRejectedName(name) ? CString() : name;
}

void CLogControl::ApplyDefaultApplicationName(const CString& detectedName)
{
    CSingleLock lock(&m_lock, true);
    if (!detectedName.IsEmpty())
        SetApplicationName(detectedName, 1);
    else
        m_loggingDisabled = 1;
    WriteBanner(LogBanner::kUsingApplicationName);
}
