// The module's static objects. Loading the module builds the suite-root cache's record and
// registers the fork handlers, then the holder, so that the holder goes first at unload, while
// the cache still serves static destructors that log and store settings. Unloading closes the
// controller and leaves it closed for threads that may still hold it (see
// CLogControl::CloseInstance).
#include "FrameworkTypes.h"
#include "InstallationFacts.h"
#include "OsThread.h"
#include "controller/CLiveComponents.h"
#include "controller/CLogControl.h"

namespace
{
class CLogControlHolder
{
public:
    CLogControlHolder()
    {
        PrepareSuiteRootCache();
        CLiveComponents::InstallForkHandlers();
    }
    CLogControlHolder(const CLogControlHolder&) = delete;
    CLogControlHolder& operator=(const CLogControlHolder&) = delete;
    ~CLogControlHolder() { CLogControl::CloseInstance(); }
};

CLogControlHolder g_controlHolder;
} // namespace

#ifdef _WIN32
// kvLOG.dll's entry point; the C runtime calls it before it destroys the static objects. A
// detach with a non-null reserved argument means the process ends: the system has already ended
// every other thread, so the unload that follows waits for none.
extern "C" int __stdcall DllMain(void*, DWORD reason, void* reserved)
{
    const DWORD kProcessDetach = 0;
    if (reason == kProcessDetach && reserved != nullptr)
        os::SetProcessEnding();
    return 1;
}
#endif
