#include "settings/CRegistryObserver.h"

#include "CMutex.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

namespace
{
// Counts notifications; a held gate makes a notification wait for the lock as the controller's
// does.
class CountingObserver : public CRegistryObserver
{
public:
    ~CountingObserver() override
    {
        StopObserving();
        WaitForStoppedThreads();
    }

    std::atomic<int> notifications{0};
    std::atomic<bool> waitingForGate{false};
    std::atomic<bool> gaveUp{false};
    CMutex gate;

protected:
    void OnSettingsFileChanged() override
    {
        waitingForGate = true;
        while (!gate.TryLock(20))
            if (IsStopRequested())
            {
                gaveUp = true;
                return;
            }
        ++notifications;
        gate.Unlock();
    }
};

// Rewrites the file until the condition holds: a single write may fall within the resolution
// of the file times and go unseen.
bool WriteUntil(const CString& path, const std::function<bool()>& condition)
{
    return kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(path, "changed");
            return condition();
        });
}
} // namespace

// The watch's own writes while suspended are covered by the settings tests: saving the settings
// file does not reload it.
TEST(CRegistryObserver, ReportsEditsOfTheWatchedFileUntilStopped)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("xdb_App.xdb", "x");
    CountingObserver observer;
    EXPECT_EQ(observer.StartObserving(dir.Sub("missing.xdb")), 0);
    EXPECT_EQ(observer.StartObserving(dir.Path()), 0); // a folder is not a settings file
    EXPECT_EQ(observer.SuspendObserving(), 0);         // not running
    ASSERT_EQ(observer.StartObserving(path), 1);
    EXPECT_EQ(observer.StartObserving(path), 0);
    EXPECT_EQ(observer.ResumeObserving(), 0);
    EXPECT_EQ(observer.SuspendObserving(), 1);
    EXPECT_EQ(observer.SuspendObserving(), 0);
    EXPECT_EQ(observer.ResumeObserving(), 1);

    EXPECT_TRUE(WriteUntil(path, [&] { return observer.notifications.load() > 0; }));
    const int seen = observer.notifications.load();
    EXPECT_TRUE(WriteUntil(path, [&] { return observer.notifications.load() > seen; }));
    observer.StopObserving(); // the destructor stops a second time, which does nothing
    EXPECT_FALSE(observer.IsObserving());
}

TEST(CRegistryObserver, StopsWhileTheNotificationWaitsForTheStoppersLock)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("xdb_App.xdb", "x");
    CountingObserver observer;
    ASSERT_EQ(observer.StartObserving(path), 1);
    observer.gate.Lock(); // the stopping thread holds the lock the notification needs
    ASSERT_TRUE(WriteUntil(path, [&] { return observer.waitingForGate.load(); }));
    observer.StopObserving();
    // Windows does not wait for the thread at the stop (it may be under the loader lock).
    observer.WaitForStoppedThreads();
    observer.gate.Unlock();
    EXPECT_TRUE(observer.gaveUp.load());
    EXPECT_EQ(observer.notifications.load(), 0);
}
