#include "settings/CRegistryObserver.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{
class CountingObserver : public CRegistryObserver
{
public:
    ~CountingObserver() override
    {
        StopObserving();
        WaitForStoppedThreads();
    }

    std::atomic<int> notifications{0};

protected:
    void OnSettingsFileChanged() override { ++notifications; }
};
} // namespace

// The watch's own writes while suspended are covered by the settings tests: saving the settings
// file does not reload it; so is a stop while a notification waits for the controller lock.
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

    // Rewritten until seen: a single write may fall within the resolution of the file times.
    for (int round = 0; round < 2; ++round)
    {
        const int seen = observer.notifications.load();
        EXPECT_TRUE(kvtest::WaitUntil(
            [&]
            {
                kvtest::WriteWholeFile(path, "changed");
                return observer.notifications.load() > seen;
            }));
    }
    observer.StopObserving(); // the destructor stops a second time, which does nothing
    EXPECT_FALSE(observer.IsObserving());
}
