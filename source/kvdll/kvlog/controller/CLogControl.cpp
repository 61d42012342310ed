#include "controller/CLogControl.h"

#include "CSingleLock.h"
#include "OsThread.h"
#include "OsTime.h"
#include "PathOperations.h"
#include "controller/CLiveComponents.h"
#include "kvlog.h"
#include "line/CLogTemplate.h"
#include "line/LogFormatting.h"
#include "settings/CLogControlComponent.h"

#include <new>

std::atomic<CLogControl*> CLogControl::s_instance{nullptr};
std::atomic<bool> CLogControl::s_unloaded{false};

namespace
{
const char kDefaultFormat[] = "DATETIME [THREAD] #3C;LEVELSTRING!14ID!6#3E; MESSAGE";
} // namespace

CLogControl* CLogControl::GetInstance()
{
    CLogControl* instance = s_instance.load(std::memory_order_acquire);
    if (instance != nullptr || s_unloaded.load())
        return instance;
    // Also where the module's static objects are not linked (a static build).
    CLiveComponents::InstallForkHandlers();
    try
    {
        CLogControl* created = new CLogControl();
        // Two first components on two threads: the one that loses discards its controller.
        if (s_instance.compare_exchange_strong(instance, created, std::memory_order_acq_rel))
            return created;
        delete created;
        return instance;
    }
    catch (...)
    {
        return nullptr;
    }
}

CLogControl* CLogControl::PeekInstance()
{
    return s_instance.load(std::memory_order_acquire);
}

void CLogControl::DestroyInstance()
{
    delete s_instance.exchange(nullptr);
}

void CLogControl::CloseInstance()
{
    s_unloaded.store(true);
    CLogControl* instance = s_instance.load(std::memory_order_acquire);
    if (instance == nullptr)
        return;
    if (os::IsProcessEnding())
    {
        instance->CloseAtProcessEnd();
        return;
    }
    instance->StorePendingSettings();
    instance->CloseAtUnload();
    if (CLiveComponents::RunIfEmpty([] { s_instance.store(nullptr); }))
        delete instance;
}

void CLogControl::CloseAtUnload()
{
    CSyslogOutput::StoppedSenders stopped;
    {
        CSingleLock lock(&m_lock, true);
        m_closed = true;
        m_components.Clear();
        m_sink = nullptr;
        CloseLogFile();
        StopWatchingSettings();
        m_syslog.Close();
        stopped = m_syslog.TakeStoppedSenders();
    }
    CSyslogOutput::AwaitEnd(stopped);
}

// The system has ended every other thread, perhaps while one held the controller lock or the
// heap's: so no lock is taken and nothing is allocated or freed. A line being written then was
// written whole or not at all (one write call each), so the footer follows whole lines.
void CLogControl::CloseAtProcessEnd()
{
    m_closed = true;
    m_logFile.Close();
}

// The turn at the settings file is only tried too: a use of the file that holds it ends within
// its bounded waits, and the fork tries again.
bool CLogControl::TryLockForFork()
{
    if (!CRegistrySync::TryLockForFork())
        return false;
    if (m_lock.TryLock(0))
        return true;
    CRegistrySync::UnlockAfterFork(false);
    return false;
}

void CLogControl::UnlockAfterFork(bool inChild)
{
    CRegistrySync::UnlockAfterFork(inChild);
    if (!inChild)
    {
        m_lock.Unlock();
        return;
    }
    ForgetObservingAfterFork();
    m_syslog.ForgetSenderAfterFork();
    m_logFile.LeaveToParent();
    m_lock.ReleaseAfterFork();
}

CLogControl::CLogControl()
    : m_logFileName(NormalizePath("log.htm")), m_format(kDefaultFormat),
      m_hexDumpByteFormat("0x%02X"), m_template(std::make_unique<CLogTemplate>())
{
    CSingleLock lock(&m_lock, true);
    ParseFormat();
}

CLogControl::~CLogControl()
{
    CSingleLock lock(&m_lock, true);
    m_components.Clear();
    CloseLogFile();
    m_template.reset();
    StopWatchingSettings();
    WaitForStoppedThreads();
}

CLogControlComponent* CLogControl::RegisterComponent(CLogComponent* component, const char* name)
{
    CLogControlComponent* record = nullptr;
    {
        CSingleLock lock(&m_lock, true);
        if (m_closed)
            return nullptr;
        record = new CLogControlComponent(this, component, name);
        m_components.AddTail(record);
    }
    SyncWithSettings(record, SettingsUse::kChange);
    return record;
}

void CLogControl::UnregisterComponent(CLogControlComponent* record)
{
    CSyslogOutput::StoppedSenders stopped;
    {
        CSingleLock lock(&m_lock, true);
        const POSITION position = m_components.Find(record);
        if (position == nullptr)
            return;
        m_components.DeleteAt(position);
        if (!m_components.IsEmpty())
            return;
        // No component keeps the module's threads busy; a later line starts the sender again.
        StopWatchingSettings();
        m_syslog.Stop();
        stopped = m_syslog.TakeStoppedSenders();
    }
    // The queued lines reach the server before the caller goes on, perhaps to end the process.
    CSyslogOutput::AwaitEnd(stopped);
    StorePendingSettings();
}

void CLogControl::SetLogInterface(CLogInterface* sink)
{
    CSingleLock lock(&m_lock, true);
    if (!m_closed)
        m_sink = sink;
}

void CLogControl::AddLevelDescription(CLogComponent* component, unsigned long level,
                                      const char* levelString, unsigned long colour)
{
    CLogControlComponent* found = nullptr;
    {
        CSingleLock lock(&m_lock, true);
        const CLogComponentInterface* wanted = component;
        for (POSITION position = m_components.GetHeadPosition();
             position != nullptr && found == nullptr;)
        {
            CLogControlComponent* record = m_components.GetNext(position);
            if (record->GetInterface() == wanted)
                found = record;
        }
        if (found == nullptr)
            return;
        found->AddLevelDescription(level, levelString, colour);
    }
    SyncWithSettings(found, SettingsUse::kLeftToWatch);
}

void CLogControl::LogEvent(unsigned long level, const CString& levelString, const CString& message)
{
    CSingleLock lock(&m_lock, true);
    if (m_sink == nullptr)
        return;
    m_sink->OnLogEvent(FormatClockTime(), level, levelString, message);
}

void CLogControl::StartBlock()
{
    CSingleLock lock(&m_lock, true);
    ++m_blockDepth;
    if (m_blockDepth < kTimedBlockDepths)
        m_blockTimes[m_blockDepth] = os::GetTickCount();
}

void CLogControl::EndBlock()
{
    CSingleLock lock(&m_lock, true);
    if (m_blockDepth == 0)
        return;
    if (m_blockDepth < kTimedBlockDepths)
        m_blockTimes[m_blockDepth] = os::GetTickCount() - m_blockTimes[m_blockDepth];
    --m_blockDepth;
}

unsigned long CLogControl::GetLastBlockDuration()
{
    CSingleLock lock(&m_lock, true);
    return m_blockDepth + 1 < kTimedBlockDepths ? m_blockTimes[m_blockDepth + 1] : 0;
}

int CLogControl::HasFunctionField()
{
    CSingleLock lock(&m_lock, true);
    return m_template->Uses(CLogTemplate::kFunction) ? 1 : 0;
}

CString CLogControl::GetFilename()
{
    CSingleLock lock(&m_lock, true);
    return m_logFileName;
}

void CLogControl::ParseFormat()
{
    CSingleLock lock(&m_lock, true);
    m_template->Parse(m_format);
}
