// The application name: set once per process, or derived by the first line from the command line
// (Windows) or the program file (POSIX).
#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "OsProcess.h"
#include "OsTime.h"
#include "PathOperations.h"
#include "controller/LogBanner.h"

#include <cctype>

namespace
{
const int kBareNameLength = 8;
// Program paths on POSIX may be far longer than Windows' 260 characters.
const DWORD kProgramPathLimit = 4096;
// Beyond every wait of the first settings load.
const DWORD kFirstLoadWaitMilliseconds = 15000;

bool IsRejectedName(const CString& name)
{
    static const char* const kRejected[] = {
        "reboot_detected", "_detected", " -l0x9  -your_launchersetup_detected", "setup_detected"};
    for (const char* rejected : kRejected)
        if (name == rejected)
            return true;
    return name.Left(3) == "_is";
}

// The candidate in lower case with "_detected", or an empty text for the names that installers and
// system tools would give.
CString NameFromCandidate(CString candidate)
{
    candidate.MakeLower();
    candidate += "_detected";
    return IsRejectedName(candidate) ? CString() : candidate;
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
    NameApplication(name, flag, false);
}

// The settings are loaded outside the controller lock; lines logged meanwhile wait for them in
// PrepareForFirstLine.
bool CLogControl::NameApplication(const char* name, int flag, bool byDefault)
{
    // The settings load may open the log file, whose header needs the running platform.
    m_headerFacts.PrepareRunningPlatform();
    {
        CSingleLock lock(&m_lock, true);
        if (m_closed)
            return false;
        if (!m_applicationName.IsEmpty())
        {
            // A line of another thread named the application first.
            if (byDefault)
                return false;
            WriteBanner(LogBanner::kCalledTwice);
            m_loggingDisabled = 1;
            return false;
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
    return true;
}

void CLogControl::PrepareForFirstLine()
{
    if (m_firstLineReady.load(std::memory_order_acquire))
        return;
    bool unnamed = false;
    {
        CSingleLock lock(&m_lock, true);
        if (m_closed || m_loggingDisabled != 0)
            return;
        unnamed = m_applicationName.IsEmpty();
    }
    if (unnamed)
        ApplyDefaultApplicationName(DetectApplicationName());
    for (DWORD waited = 0; waited < kFirstLoadWaitMilliseconds; ++waited)
    {
        {
            CSingleLock lock(&m_lock, true);
            if (m_firstApplyPending == 0 || m_closed || m_applicationName.IsEmpty())
                return;
        }
        os::Sleep(1);
    }
}

CString CLogControl::DetectApplicationName() const
{
    if (os::kApplicationNameSource == os::ApplicationNameSource::kCommandLine)
        return DetectApplicationNameFrom(os::GetCommandLineA());
    CString program;
    os::GetModuleFileNameA(nullptr, program, kProgramPathLimit);
    return DetectApplicationNameFromProgram(program);
}

CString CLogControl::DetectApplicationNameFrom(const char* commandLine)
{
    CString text(commandLine);
    text.Replace('/', '\\');
    return NameFromCandidate(CandidateFrom(text));
}

CString CLogControl::DetectApplicationNameFromProgram(const char* programPath)
{
    CString name = GetPathFileName(NormalizePath(programPath));
    const int lastDot = name.ReverseFind('.');
    return NameFromCandidate(lastDot >= 0 ? name.Left(lastDot) : name);
}

void CLogControl::ApplyDefaultApplicationName(const CString& detectedName)
{
    if (!detectedName.IsEmpty() && !NameApplication(detectedName, 1, true))
        return;
    CSingleLock lock(&m_lock, true);
    if (detectedName.IsEmpty())
    {
        if (m_loggingDisabled != 0 || !m_applicationName.IsEmpty())
            return;
        m_loggingDisabled = 1;
    }
    WriteBanner(LogBanner::kUsingApplicationName);
}
