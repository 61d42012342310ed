// The controller's settings. Without a settings file the controller keeps its construction
// defaults; naming the application only ends the first-apply state.
#include "CLogControl.h"

#include "CSingleLock.h"

void CLogControl::LoadSettings()
{
    CSingleLock lock(&m_lock, true);
    if (m_applicationName.IsEmpty())
        return;
    m_firstApplyPending = 0;
}

void CLogControl::SetMasterLevel(unsigned long /*level*/) {}

void CLogControl::SyncNewComponentWithSettings() {}

void CLogControl::StartWatchingSettings() {}

void CLogControl::StopWatchingSettings() {}
