#include "CULFileObserver.h"

#include "OsTime.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(CULFileObserver, ReportsChangesUntilUpdatedAndKeepsTheTimeWhenClosed)
{
    kvtest::TempDir dir;
    const CString path = dir.MakeFile("settings.xdb", "x");
    CULFileObserver observer;
    EXPECT_EQ(observer.HasChanged(), 0); // closed
    ASSERT_EQ(observer.Open(path + kvtest::NativePath("\\")), 1);
    EXPECT_EQ(observer.GetPath(), path);
    EXPECT_EQ(observer.Open(path), 0); // already open
    EXPECT_EQ(observer.HasChanged(), 0);

    // Rewritten until its write time differs from the observer's baseline.
    ASSERT_TRUE(kvtest::WaitUntil(
        [&]
        {
            kvtest::WriteWholeFile(path, "changed");
            return observer.HasChanged() != 0;
        }));
    EXPECT_EQ(observer.Update(), 1);
    EXPECT_EQ(observer.HasChanged(), 0);

    // A deleted file counts as changed; a closed observer keeps the time.
    const FILETIME remembered = observer.GetLastWriteTime();
    EXPECT_NE(remembered.dwHighDateTime, 0u);
    kvtest::TempDir::RemoveFile(path);
    EXPECT_EQ(observer.HasChanged(), 1);

    observer.Close();
    EXPECT_EQ(observer.HasChanged(), 0);
    const FILETIME kept = observer.GetLastWriteTime();
    EXPECT_EQ(os::CompareFileTime(&kept, &remembered), 0);
}
