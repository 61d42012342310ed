// The header facts of the running process and its suite installation.
#pragma once

#include "output/CLogHeaderFacts.h"

#include <atomic>
#include <mutex>

class CSystemLogHeaderFacts : public CLogHeaderFacts
{
public:
    // The running platform comes from the utilities program, which may take its time: it runs
    // once per process, and the controller has it run before it takes its lock.
    void PrepareRunningPlatform();
    bool IsRunningPlatformKnown() const { return m_runningKnown.load(); }

    CString GetSuiteRootDir() override;
    CString GetExecutable() override;
    CString GetActiveXControl() override;
    CString GetCreationTime() override;
    CString GetTargetPlatform() override;
    CString GetRunningPlatform() override;

private:
    std::mutex m_runningMutex;
    std::atomic<bool> m_runningKnown{false};
    CString m_running; // guarded by m_runningMutex
};
