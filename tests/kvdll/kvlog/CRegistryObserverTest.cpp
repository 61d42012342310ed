#include "CRegistryObserver.h"

#include "CMutex.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
// Counts notifications; a held gate makes a notification wait for the lock as the controller's
// does.
class CountingObserver : public CRegistryObserver
{
public:
    ~CountingObserver() override { StopObserving(); }

    std::atomic<int> notifications{0};
    std::atomic<bool> waitingForGate{false};
    std::atomic<bool> gaveUp{false};
    CMutex gate;

protected:
    void OnSettingsFileChanged() override
    {
        waitingForGate = true;
        while (!gate.TryLock(20))
        {
            if (IsStopRequested())
            {
                gaveUp = true;
                return;
            }
        }
        ++notifications;
        gate.Unlock();
    }
};

// Rewrites the file until the observer has counted one more notification.
bool ChangeUntilNotified(const CString& path, CountingObserver& observer)
{
    const int before = observer.notifications.load();
    return kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(path, "changed");
            return observer.notifications.load() > before;
        });
}
} // namespace

TEST(CRegistryObserver, ReportsEditsOfTheWatchedFile)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("xdb_App.xdb", "x");
    CountingObserver observer;
    EXPECT_EQ(observer.StartObserving(dir.Sub("missing.xdb")), 0);
    EXPECT_FALSE(observer.IsObserving());
    EXPECT_EQ(observer.StartObserving(dir.Path()), 0); // a folder is not a settings file
    ASSERT_EQ(observer.StartObserving(path), 1);
    EXPECT_EQ(observer.StartObserving(path), 0);
    EXPECT_TRUE(ChangeUntilNotified(path, observer));
    EXPECT_TRUE(ChangeUntilNotified(path, observer));
    observer.StopObserving();
    observer.StopObserving(); // the second stop does nothing
    EXPECT_FALSE(observer.IsObserving());
}

TEST(CRegistryObserver, SuspendAndResumeReportTheirEffect)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("xdb_App.xdb", "x");
    CountingObserver observer;
    EXPECT_EQ(observer.SuspendObserving(), 0); // not running
    ASSERT_EQ(observer.StartObserving(path), 1);
    EXPECT_EQ(observer.ResumeObserving(), 0);
    EXPECT_EQ(observer.SuspendObserving(), 1);
    EXPECT_EQ(observer.SuspendObserving(), 0);

    // A write made while suspended is not reported after the resume.
    const FILETIME before = CULFileObserver::GetFileWriteTime(path);
    ASSERT_TRUE(kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(path, "own write");
            const FILETIME now = CULFileObserver::GetFileWriteTime(path);
            return now.dwLowDateTime != before.dwLowDateTime ||
                   now.dwHighDateTime != before.dwHighDateTime;
        }));
    EXPECT_EQ(observer.ResumeObserving(), 1);
    EXPECT_TRUE(ChangeUntilNotified(path, observer));
    EXPECT_EQ(observer.notifications.load(), 1);
}

TEST(CRegistryObserver, StopsWhileTheNotificationWaitsForTheStoppersLock)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("xdb_App.xdb", "x");
    CountingObserver observer;
    ASSERT_EQ(observer.StartObserving(path), 1);
    observer.gate.Lock(); // the stopping thread holds the lock the notification needs
    ASSERT_TRUE(kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(path, "changed");
            return observer.waitingForGate.load();
        }));
    observer.StopObserving();
    observer.gate.Unlock();
    EXPECT_TRUE(observer.gaveUp.load());
    EXPECT_EQ(observer.notifications.load(), 0);
    EXPECT_FALSE(observer.IsObserving());
}
